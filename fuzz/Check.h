#pragma once
// A broken property stops the fuzzer with the input that broke it.
#include <cstdio>
#include <cstdlib>

#define QP_CHECK(cond)                                                        \
    do {                                                                      \
        if (!(cond)) {                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                     \
        }                                                                     \
    } while (0)
