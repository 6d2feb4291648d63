// A library that the dynamic-library tests load at run time and that no
// program links, so that only the loader under test brings it in. Plain C:
// nothing in it keeps it from being unloaded again. The build defines
// SAMPLE_EXPORT as the platform's way to export a function; everything else
// stays unexported.

SAMPLE_EXPORT int lumo_sampleAnswer(void) { return 42; }

int lumo_sampleHidden(void) { return 7; }
