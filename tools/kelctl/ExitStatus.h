#pragma once
// Exit statuses of kelctl. A process status holds 0 to 255 only, so the program's own result
// codes (the transfer results 4096 to 4099 among them) are mapped onto these small numbers;
// no failure ever exits 0. The README lists them.

namespace kelctl {

enum ExitStatus : int {
    ExitOk = 0,
    ExitFailure = 1,           // any failure without a code of its own
    ExitUsage = 2,             // bad arguments or bad input files
    ExitSettings = 3,          // Setting.ini unusable and its message could not be shown
    ExitPortUnavailable = 4,   // the serial port cannot be opened
    ExitNoReply = 5,           // no reply within the time-out
    ExitSensorError = 6,       // the sensor answered "ER"
    ExitTransferTimeout = 7,   // transfer result 4098
    ExitTransferDataError = 8, // transfer result 4097
    ExitStopped = 9,           // transfer result 4096, or any operation stopped by Ctrl-C
    ExitRemoteCancel = 10,     // transfer result 4099: the sensor cancelled
    ExitFileError = 11,        // a file could not be read or written
    ExitUnexpectedReply = 12,  // the sensor answered, but not with what the operation needs
    ExitBlockDifferent = 13,   // a block read back from the sensor differs from its file
    ExitSetRefused = 14,       // a backup set incomplete, changed or without its manifest
    ExitConnectionLost = 15,   // the device server closed the connection, or it dropped
    ExitPicturesDiffer = 16,   // compare: more of the picture differs than --max-share allows
};

// The status of several runs: a failure wins over success, and of two failures the higher
// status, so the result does not depend on the order the runs ended in.
constexpr int worseStatus(int a, int b)
{
    if (a == ExitOk || b == ExitOk)
        return a == ExitOk ? b : a;
    return a > b ? a : b;
}

} // namespace kelctl
