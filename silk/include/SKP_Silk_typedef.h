/* Integer type names of the SILK decoder interface. */
#ifndef SKP_SILK_TYPEDEF_H
#define SKP_SILK_TYPEDEF_H

#include <stdint.h>

typedef int SKP_int;
typedef unsigned int SKP_uint;
typedef int64_t SKP_int64;
typedef uint64_t SKP_uint64;
typedef int32_t SKP_int32;
typedef uint32_t SKP_uint32;
typedef int16_t SKP_int16;
typedef uint16_t SKP_uint16;
typedef int8_t SKP_int8;
typedef uint8_t SKP_uint8;
typedef intptr_t SKP_int_ptr_size;
typedef float SKP_float;

#define SKP_int64_MAX ((SKP_int64)0x7FFFFFFFFFFFFFFFLL)
#define SKP_int64_MIN ((SKP_int64)0x8000000000000000LL)
#define SKP_int32_MAX 0x7FFFFFFF
#define SKP_int32_MIN ((SKP_int32)0x80000000)
#define SKP_int16_MAX 0x7FFF
#define SKP_int16_MIN ((SKP_int16)0x8000)
#define SKP_int8_MAX 0x7F
#define SKP_int8_MIN ((SKP_int8)0x80)
#define SKP_uint32_MAX 0xFFFFFFFFU
#define SKP_uint16_MAX 0xFFFF
#define SKP_uint8_MAX 0xFF

#define SKP_TRUE 1
#define SKP_FALSE 0

#endif
