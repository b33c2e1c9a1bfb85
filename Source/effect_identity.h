/* The effect's identity: the numbers the host reads twice, once from the property list without
   running any code and once from global setup, and compares. Plain #defines so that the resource
   compiler reads the same definitions as the C++ code (global_setup.cpp checks them against the
   host's own encodings at compile time). */
#ifndef TESSALINE_EFFECT_IDENTITY_H
#define TESSALINE_EFFECT_IDENTITY_H

#define TESSALINE_VERSION_MAJOR 1
#define TESSALINE_VERSION_MINOR 1
#define TESSALINE_VERSION_BUGFIX 1
#define TESSALINE_VERSION_BUILD 7

/* PF_VERSION(1, 1, 1, release, 7) */
#define TESSALINE_EFFECT_VERSION 0x00088E07L
/* sequence data needs flattening, does its own dialog, deep colour aware, sends parameter-UI updates */
#define TESSALINE_OUT_FLAGS 0x06000030L
/* dynamic flags, group start collapsed, thread-safe, smart render, float colour, flattened sequence
   data on request, threaded rendering */
#define TESSALINE_OUT_FLAGS2 0x08801419L

/* The effect API version the effect is written against: 13.27. */
#define TESSALINE_SPEC_MAJOR 13
#define TESSALINE_SPEC_MINOR 27

#endif
