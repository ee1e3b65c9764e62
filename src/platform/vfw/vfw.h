#pragma once
// The capture library stand-in: capture windows driven by WM_CAP_ messages,
// with one user-data value each and error, status and frame callbacks that run
// inside the message that causes them, on the sending thread.
#include <cstdint>

#include "platform/winsys/window.h"

namespace platform {

struct VIDEOHDR {
    std::uint8_t* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesUsed;
    DWORD dwTimeCaptured;
    std::uintptr_t dwUser;
    DWORD dwFlags;
    std::uintptr_t dwReserved[4];
};

struct CAPTUREPARMS {
    DWORD dwRequestMicroSecPerFrame;
    BOOL fMakeUserHitOKToCapture;
    UINT wPercentDropForError;
    BOOL fYield;
    DWORD dwIndexSize;
    UINT wChunkGranularity;
    BOOL fUsingDOSMemory;
    UINT wNumVideoRequested;
    BOOL fCaptureAudio;
    UINT wNumAudioRequested;
    UINT vKeyAbort;
    BOOL fAbortLeftMouse;
    BOOL fAbortRightMouse;
    BOOL fLimitEnabled;
    UINT wTimeLimit;
    BOOL fMCIControl;
    BOOL fStepMCIDevice;
    DWORD dwMCIStartTime;
    DWORD dwMCIStopTime;
    BOOL fStepCaptureAt2x;
    UINT wStepCaptureAverageFrames;
    DWORD dwAudioBufferSize;
    BOOL fDisableWriteCache;
    UINT AVStreamMaster;
};
static_assert(sizeof(CAPTUREPARMS) == 96);

// The 32-bit record: its handles are 32-bit values here too.
struct CAPDRIVERCAPS {
    UINT wDeviceIndex;
    BOOL fHasOverlay;
    BOOL fHasDlgVideoSource;
    BOOL fHasDlgVideoFormat;
    BOOL fHasDlgVideoDisplay;
    BOOL fCaptureInitialized;
    BOOL fDriverSuppliesPalettes;
    DWORD hVideoIn;
    DWORD hVideoOut;
    DWORD hVideoExtIn;
    DWORD hVideoExtOut;
};
static_assert(sizeof(CAPDRIVERCAPS) == 44);

using CAPERRORCALLBACK = LRESULT (*)(HWND, int, const char*);
using CAPSTATUSCALLBACK = LRESULT (*)(HWND, int, const char*);
using CAPVIDEOCALLBACK = LRESULT (*)(HWND, VIDEOHDR*);

constexpr UINT WM_CAP_SET_CALLBACK_ERRORA = 1026;
constexpr UINT WM_CAP_SET_CALLBACK_STATUSA = 1027;
constexpr UINT WM_CAP_SET_CALLBACK_FRAME = 1029;
constexpr UINT WM_CAP_GET_USER_DATA = 1032;
constexpr UINT WM_CAP_SET_USER_DATA = 1033;
constexpr UINT WM_CAP_DRIVER_CONNECT = 1034;
constexpr UINT WM_CAP_DRIVER_DISCONNECT = 1035;
constexpr UINT WM_CAP_DRIVER_GET_CAPS = 1038;
constexpr UINT WM_CAP_FILE_SAVEDIBA = 1049;
constexpr UINT WM_CAP_GET_VIDEOFORMAT = 1068;
constexpr UINT WM_CAP_SET_VIDEOFORMAT = 1069;
constexpr UINT WM_CAP_SET_PREVIEW = 1074;
constexpr UINT WM_CAP_SET_OVERLAY = 1075;
constexpr UINT WM_CAP_SET_PREVIEWRATE = 1076;
constexpr UINT WM_CAP_GRAB_FRAME = 1084;
constexpr UINT WM_CAP_SET_SEQUENCE_SETUP = 1088;
constexpr UINT WM_CAP_GET_SEQUENCE_SETUP = 1089;
constexpr UINT WM_CAP_STOP = 1092;
constexpr UINT WM_CAP_ABORT = 1093;

HWND capCreateCaptureWindowA(const char* name, DWORD style, int x, int y, int width, int height, HWND parent,
                             int id);

// Fills `name` with the description of driver `index` (cut to the buffer);
// false, and `name` untouched, when no driver stands in that slot.
BOOL capGetDriverDescriptionA(int index, char* name, int nameLength, char* version, int versionLength);

}  // namespace platform
