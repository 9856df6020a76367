/* A tiny shared object for the dynamic-library tests. */
int dcs_probe_answer(void)
{
    return 42;
}
