// Linked into the test programs that run on a display with OpenGL. The
// OpenGL driver is loaded and unloaded with its contexts; kept loaded, what
// it allocates and never frees is reported under its own name (and
// suppressed as none of ours) instead of as an unknown module.
extern "C" int dlclose(void*)
{
    return 0;
}
