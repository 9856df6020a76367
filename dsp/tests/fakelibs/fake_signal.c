/* Stand-in for the optional signal library: a few exports answering with a marker. */
#define MARKER 4242

int vpsCopy_8u(const unsigned char* pSrc, unsigned char* pDst, int len)
{
    (void)pSrc;
    (void)pDst;
    (void)len;
    return MARKER;
}

/* A name of the double-precision module and one that the vector library registers too. */
int vpsConjFlip_64fc(const double* pSrc, double* pDst, int len)
{
    (void)pSrc;
    (void)pDst;
    (void)len;
    return MARKER;
}

int vpsAbs_64f(const double* pSrc, double* pDst, int len)
{
    (void)pSrc;
    (void)pDst;
    (void)len;
    return MARKER;
}

/* An image name in the signal library must not be picked up: image names come from the
   image libraries only. */
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
