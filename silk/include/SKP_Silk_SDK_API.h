/* Public interface of the SILK v3 decoder library. */
#ifndef SKP_SILK_SDK_API_H
#define SKP_SILK_SDK_API_H

#include "SKP_Silk_control.h"
#include "SKP_Silk_errors.h"
#include "SKP_Silk_typedef.h"

#ifdef __cplusplus
extern "C" {
#endif

#define SILK_MAX_FRAMES_PER_PACKET 5

typedef struct {
    SKP_int framesInPacket;
    SKP_int fs_kHz;
    SKP_int inbandLBRR;
    SKP_int corrupt;
    SKP_int vadFlags[SILK_MAX_FRAMES_PER_PACKET];
    SKP_int sigtypeFlags[SILK_MAX_FRAMES_PER_PACKET];
} SKP_Silk_TOC_struct;

/* Size in bytes of the opaque decoder state. */
SKP_int SKP_Silk_SDK_Get_Decoder_Size(SKP_int32 *decSizeBytes);

/* Resets a decoder state for a new stream. */
SKP_int SKP_Silk_SDK_InitDecoder(void *decState);

/* Decodes (or conceals, with lostFlag 1) one 20 ms frame of the current packet. */
SKP_int SKP_Silk_SDK_Decode(void *decState, SKP_SILK_SDK_DecControlStruct *decControl,
                            SKP_int lostFlag, const SKP_uint8 *inData, const SKP_int nBytesIn,
                            SKP_int16 *samplesOut, SKP_int16 *nSamplesOut);

/* Finds in a later packet the redundant copy of a packet lost_offset (1 or 2) packets before. */
void SKP_Silk_SDK_search_for_LBRR(const SKP_uint8 *inData, const SKP_int nBytesIn,
                                  SKP_int lost_offset, SKP_uint8 *LBRRData,
                                  SKP_int16 *nLBRRBytes);

/* Table of contents of a packet. */
void SKP_Silk_SDK_get_TOC(const SKP_uint8 *inData, const SKP_int nBytesIn,
                          SKP_Silk_TOC_struct *Silk_TOC);

/* Version of the decoder interface, "1.0.9". */
const char *SKP_Silk_SDK_get_version(void);

#ifdef __cplusplus
}
#endif

#endif
