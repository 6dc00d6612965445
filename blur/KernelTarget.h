#pragma once

// Compiles the functions between NEBULO_BEGIN_TARGET("set") and
// NEBULO_END_TARGET() for that instruction set, so each kernel file needs no
// compile flags of its own and the program still runs on any x86-64.
#define NEBULO_PRAGMA(Text) _Pragma(#Text)
#ifdef __clang__
#define NEBULO_BEGIN_TARGET(Set) NEBULO_PRAGMA(clang attribute push(__attribute__((target(Set))), apply_to = function))
#define NEBULO_END_TARGET() NEBULO_PRAGMA(clang attribute pop)
#else
// GCC 12's 512-bit shifts and multiplies start from a deliberately undefined
// vector, which -Wuninitialized and -Wmaybe-uninitialized mistake for a read of
// an uninitialised one.
#define NEBULO_BEGIN_TARGET(Set)                                                                                   \
    NEBULO_PRAGMA(GCC push_options)                                                                                \
    NEBULO_PRAGMA(GCC target(Set))                                                                                 \
    NEBULO_PRAGMA(GCC diagnostic push) NEBULO_PRAGMA(GCC diagnostic ignored "-Wuninitialized")                 \
        NEBULO_PRAGMA(GCC diagnostic ignored "-Wmaybe-uninitialized")
#define NEBULO_END_TARGET() NEBULO_PRAGMA(GCC diagnostic pop) NEBULO_PRAGMA(GCC pop_options)
#endif
