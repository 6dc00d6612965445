// Linked into every program of the sanitizer build: the defaults its runs
// start from; ASAN_OPTIONS still adds to them or overrides them.
//
// intercept_tls_get_addr=0: the leak check at exit otherwise scans thread
// storage of libraries loaded later (the JPEG reader's libjpeg) from a
// header it guesses from the block's address, and now and then reads
// through a wild pointer and dies ("Tracer caught signal 11").
extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
