/* Control records exchanged with the SILK codec on every call. */
#ifndef SKP_SILK_CONTROL_H
#define SKP_SILK_CONTROL_H

#include "SKP_Silk_typedef.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    SKP_int32 API_sampleRate;      /* in: output rate in Hz, 8000..48000 */
    SKP_int frameSize;             /* out: samples per 20 ms at the output rate */
    SKP_int framesPerPacket;       /* out: frames of the most recently finished packet */
    SKP_int moreInternalDecoderFrames; /* out: 1 while frames of the current packet remain */
    SKP_int inBandFECOffset;       /* out: distance in packets to the redundant copy (0, 1, 2) */
} SKP_SILK_SDK_DecControlStruct;

typedef struct {
    SKP_int32 API_sampleRate;
    SKP_int32 maxInternalSampleRate;
    SKP_int packetSize;
    SKP_int32 bitRate;
    SKP_int packetLossPercentage;
    SKP_int complexity;
    SKP_int useInBandFEC;
    SKP_int useDTX;
} SKP_SILK_SDK_EncControlStruct;

#ifdef __cplusplus
}
#endif

#endif
