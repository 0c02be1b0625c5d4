// The MpegFilters.ax module: class factory table and registration of the
// MPEG recording filters. None is picked by intelligent connect on its own;
// the capture engine adds them to its graph by class.
#include "dshow_base/streams.h"
#include "filters/mpeg/audio_encoder_filter.h"
#include "filters/mpeg/dump_filter.h"
#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/mpeg/mpeg_mux.h"
#include "filters/mpeg/video_encoder_filter.h"

namespace {

using namespace mpeg_filters;

const AMOVIESETUP_MEDIATYPE kAnyVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};
const AMOVIESETUP_MEDIATYPE kMpegVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG1Payload};
const AMOVIESETUP_MEDIATYPE kPcm = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
const AMOVIESETUP_MEDIATYPE kMpegAudio = {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG1AudioPayload};
const AMOVIESETUP_MEDIATYPE kMuxInputs[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG1Payload},
                                            {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG1AudioPayload}};
const AMOVIESETUP_MEDIATYPE kSystemStream = {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG1System};
const AMOVIESETUP_MEDIATYPE kAnyStream = {&MEDIATYPE_Stream, &MEDIASUBTYPE_NULL};

const AMOVIESETUP_PIN kVideoEncoderPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kMpegVideo},
};
const AMOVIESETUP_PIN kAudioEncoderPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kPcm},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kMpegAudio},
};
const AMOVIESETUP_PIN kMuxPins[] = {
    {L"Input 01", FALSE, FALSE, FALSE, TRUE, &CLSID_NULL, nullptr, 2, kMuxInputs},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kSystemStream},
};
const AMOVIESETUP_PIN kDumpPins[] = {
    {L"Input", TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyStream},
};

const AMOVIESETUP_FILTER kVideoEncoderSetup = {
    &CLSID_MpegVideoEncoder, L"Talvoro MPEG Video Encoder", MERIT_DO_NOT_USE, 2, kVideoEncoderPins};
const AMOVIESETUP_FILTER kAudioEncoderSetup = {
    &CLSID_MpegAudioEncoder, L"Talvoro MPEG Audio Encoder", MERIT_DO_NOT_USE, 2, kAudioEncoderPins};
const AMOVIESETUP_FILTER kMuxSetup = {
    &CLSID_MpegMultiplexer, L"Talvoro MPEG Multiplexer", MERIT_DO_NOT_USE, 2, kMuxPins};
const AMOVIESETUP_FILTER kDumpSetup = {&CLSID_DumpFileSink, L"Talvoro Dump", MERIT_DO_NOT_USE, 1, kDumpPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Talvoro MPEG Video Encoder", &CLSID_MpegVideoEncoder, CMpegVideoEncoder::CreateInstance, nullptr,
     &kVideoEncoderSetup},
    {L"Talvoro MPEG Audio Encoder", &CLSID_MpegAudioEncoder, CMpegAudioEncoder::CreateInstance, nullptr,
     &kAudioEncoderSetup},
    {L"Talvoro MPEG Multiplexer", &CLSID_MpegMultiplexer, CMpegMux::CreateInstance, nullptr, &kMuxSetup},
    {L"Talvoro Dump", &CLSID_DumpFileSink, CDumpFilter::CreateInstance, nullptr, &kDumpSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
