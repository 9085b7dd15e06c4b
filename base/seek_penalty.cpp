#include "base/seek_penalty.h"

#include <windows.h>

#include <winioctl.h>

namespace {

enum PenaltyAnswer { PenaltyUnasked, PenaltyNone, PenaltySeeks };

volatile LONG Answers[26]; // by drive letter

bool AskVolume(char letter) {
    char volume[] = "\\\\.\\X:";
    volume[4] = letter;
    // No access asked: the query needs none, and it works without elevation.
    HANDLE device = CreateFileA(volume, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (device == INVALID_HANDLE_VALUE) {
        return false;
    }
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty = {};
    DWORD got = 0;
    const bool seeks = DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &penalty,
                                       sizeof penalty, &got, NULL) &&
                       got >= sizeof penalty && penalty.IncursSeekPenalty;
    CloseHandle(device);
    return seeks;
}

} // namespace

bool HasSeekPenalty(const char* path) {
    // Wine reports no penalty for any volume: tests make every one seek.
    if (GetEnvironmentVariableA("DIGESTOR_SEEK_PENALTY", NULL, 0) > 0) {
        return true;
    }
    if (path[0] == '\\' && path[1] == '\\' && path[2] == '?' && path[3] == '\\') {
        path += 4;
    }
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter > 'Z' || path[1] != ':') {
        return false; // a share, or a name that is no path of a drive
    }
    volatile LONG& answer = Answers[letter - 'A'];
    if (InterlockedCompareExchange(&answer, 0, 0) == PenaltyUnasked) {
        InterlockedExchange(&answer, AskVolume(letter) ? PenaltySeeks : PenaltyNone);
    }
    return InterlockedCompareExchange(&answer, 0, 0) == PenaltySeeks;
}
