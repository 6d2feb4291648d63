// A library that the dynamic-library tests load at run time and that no
// program links, so that only the loader under test brings it in. Plain C:
// nothing in it keeps it from being unloaded again.

__attribute__((visibility("default"))) int lumo_sampleAnswer(void)
{
    return 42;
}

__attribute__((visibility("hidden"))) int lumo_sampleHidden(void)
{
    return 7;
}
