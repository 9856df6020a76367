/* Stand-in for the optional colour library, the second place image names are looked for. */
#define MARKER 4343

typedef struct { int width, height; } Size;
int vpiCopy_32s_C1R(const int* pSrc, int srcStep, int* pDst, int dstStep, Size roi)
{
    (void)pSrc;
    (void)srcStep;
    (void)pDst;
    (void)dstStep;
    (void)roi;
    return MARKER;
}

/* A signal name here must not be picked up. */
int vpsCopy_8u(const unsigned char* pSrc, unsigned char* pDst, int len)
{
    (void)pSrc;
    (void)pDst;
    (void)len;
    return MARKER;
}
