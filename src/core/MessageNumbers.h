#pragma once
// The numbered texts of the message files that the program shows, and the message box styles
// it shows them with; named here once for every window and tool.

#include <QString>

namespace kel {

// Message file sections.
inline const QString kSectionMessage = QStringLiteral("Message");
inline const QString kSectionQuestion = QStringLiteral("Question");
inline const QString kSectionLabel = QStringLiteral("Label");
// The main window's status line: the last operation's result, the picture's source, the
// reply awaited.
inline const QString kSectionStatus = QStringLiteral("Status");

// Section "Message".
enum MessageNumber : int {
    MsgCompleted = 1,
    MsgWorkFileMissing = 12,
    MsgConversionFailed = 13,
    MsgBitmapNotConvertible = 14, // %1 the bitmap: not one to turn into a sensor image
    MsgBitmapNotOpened = 16,      // %1 the bitmap: neither a colour nor a grey picture to show
    MsgUnknownImageSize = 15,     // the size code follows, worded by LabelSizeCode
    MsgPortCannotOpen = 21, // the line's own messages: serial::LineMessage has the same numbers
    MsgNoReply = 22,
    MsgTransferTimeout = 23,
    MsgSensorError = 24,       // %1 the command as sent, %2 in words
    MsgNetAddressInvalid = 25, // the settings dialog's network host or port
    // A device server on the network, the line's too; %1 the server (45: and the reason).
    MsgNetUnknownHost = 40,
    MsgNetRefused = 41,
    MsgNetNoAnswer = 42,
    MsgNetClosed = 43,
    MsgNetDropped = 44, // during a file transfer
    MsgNetFailed = 45,
    MsgHelpNotShown = 50, // the help file's path follows the text
    // The whole sensor at once; what each concerns follows as lines of their own.
    MsgSetFilesChanged = 30,    // files differ from the manifest: nothing sent
    MsgSetNotVouched = 31,      // the manifest is unusable or vouches for fewer than nine
    MsgSetRestoredSame = 32,    // every block read back the same
    MsgSetRestoredNotSame = 33, // one or more read back different or could not be read
    MsgSettingsError = 99,
};

// Section "Question".
enum QuestionNumber : int {
    QuestionFetch = 1,
    QuestionDiscardUnsaved = 2,
    QuestionUpload = 3,
    QuestionDiscardForOpen = 4, // an unsaved fetched image, before a file replaces it
    QuestionBankRestore = 5,    // %1 the file chosen, %2 the bank it replaces (LabelRestoreBank*)
    QuestionSystemRestore = 6,
    QuestionSetRestore = 10, // %1 the set's folder, %2 the device; %3 date, %4 device of the set
    QuestionSetReplace = 11, // %1 the folder holding a complete set
    QuestionQuitDuringTransfer = 12,
};

// Section "Label": texts shown at run time.
enum LabelText : int {
    LabelResultError = 1, // the result codes "-2", "-1" and "0"
    LabelResultNg = 2,
    LabelResultOk = 3,
    LabelReceivedBefore = 4, // around the byte position of a receive
    LabelReceivedAfter = 5,
    LabelWaitOpened = 6, // the progress window's status line
    LabelWaitCommand = 7,
    LabelWaitSending = 8,
    LabelWaitReceiving = 9,
    LabelAboutVersion = 10,
    LabelMeasure = 12, // the measure button in its two states
    LabelStopContinuous = 13,
    LabelConvertCounter = 14,
    LabelWaitConverting = 15,
    LabelAllFiles = 51, // file dialog filter descriptions
    LabelKelFiles = 52,
    LabelSystemFiles = 53,
    LabelBankFiles = 54,
    // What is wrong with a file or a port, for the operator; %1 is the file or the details.
    LabelFileCutShort = 61,    // %2 of %3 bytes
    LabelFileNoImageSize = 62, // %2 x %3 pixels
    LabelBitmapTopDown = 63,
    LabelReceiveNotWritten = 64, // %2 the system's reason
    LabelLineDetails = 65,       // a line added to a message of the line: device and reason
    LabelLineWarning = 66,       // what the port goes on without: the port's account
    LabelSizeCode = 67,          // %1 the size code the sensor reported
    LabelReplyCut = 68,          // after the start of a long reply: %1 its length in bytes
    LabelNoImage = 90,           // written on the start picture
    LabelLoadNeedsColour = 91,   // why the upload button is disabled
    LabelRestoreBankNamed = 92,  // %1 the bank number in the file's name
    LabelRestoreBankOfFile = 93, // the bank the file was backed up from, number unknown
    LabelFileNotBitmap = 80,     // %1 the file
    // Why a folder picker cannot open a folder; %1 the folder.
    LabelFolderMissing = 81,
    LabelNotAFolder = 82,
    LabelFolderDenied = 83,
    LabelFolderPathHint = 84, // the empty path box of a folder picker
    // The whole sensor at once: the block under way, %1 one of the two block names.
    LabelSetBackingUp = 70,
    LabelSetRestoring = 71,
    LabelSetReadingBack = 72,
    LabelSetBank = 73, // %1 the bank
    LabelSetSystem = 74,
    LabelBlockSame = 75, // how a block read back compares with its file
    LabelBlockDifferent = 76,
    LabelBlockFailed = 77,
    LabelSetFileMissing = 78, // %1 the file
    LabelSetFileChanged = 79,
};

// Section "Trend": the trend of a continuous measurement in the main window.
// What the window tells of the picture: the readout under the pointer, its figures and the
// comparison with a reference.
inline const QString kSectionPicture = QStringLiteral("Picture");
enum PictureText : int {
    PictureReadoutRaw = 1,  // %1 x, %2 y, %3 raw value, %4 its filter colour, %5 to %7 R, G, B
    PictureReadoutRgb = 2,  // %1 x, %2 y, %3 to %5 R, G, B (no mosaic: an opened bitmap)
    PictureReadoutGrey = 3, // %1 x, %2 y, %3 the value
    PictureFilterRed = 4,
    PictureFilterGreen = 5,
    PictureFilterBlue = 6,
    PictureZoom = 7,          // %1 the zoom in percent
    PictureAreaWhole = 8,     // %1 width, %2 height
    PictureAreaRectangle = 9, // %1 x, %2 y, %3 width, %4 height
    PictureColumns = 10,      // the figures' column heads, separated by "|"
    PictureChannelRed = 11,
    PictureChannelGreen = 12,
    PictureChannelBlue = 13,
    PictureChannelGrey = 14,
    PictureSaturated = 15,
    PictureLogScale = 16,
    PictureNoReference = 17,
    PictureReferenceOtherSize = 18, // %1 x %2 the reference, %3 x %4 this picture
    PictureReferenceOtherKind = 19,
    PictureCompared = 20,       // %1 the mean differences, %2 share in percent, %3 threshold
    PicturePngFiles = 21,       // the file filter's description
    PictureProfile = 22,        // %1 the pixels along the line
    PictureReferenceKept = 23,  // %1 where the reference came from
    PictureDropRefused = 24,    // %1 the file dropped
};

inline const QString kSectionTrend = QStringLiteral("Trend");
enum TrendText : int {
    TrendFrame = 1,
    TrendInterval = 2,
    TrendSave = 3,
    TrendCsvFiles = 4,      // file dialog filter description
    TrendCounts = 5,        // %1 values, %2 OK, %3 NG
    TrendStoppedFailed = 6, // a reading failed and its message was shown
    TrendStoppedReply = 7,  // %1 the unusable reply to the result query
    TrendSaved = 8,         // %1 values, %2 the file
    TrendReading = 9,       // %1 the interval in seconds
};

// Section "Kelctl": texts of the command line tool.
inline const QString kSectionKelctl = QStringLiteral("Kelctl");
enum KelctlText : int {
    KelctlResultLabel = 1, // the two lines of "kelctl result"
    KelctlValueLabel = 2,
    KelctlFetching = 3, // what a transfer's progress line names
    KelctlFetchingGrey = 4,
    KelctlUploading = 5,
    KelctlBankBackup = 6, // %1 the bank
    KelctlBankRestore = 7,
    KelctlSystemBackup = 8,
    KelctlSystemRestore = 9,
    KelctlReceiving = 10, // %1 the file
    KelctlSending = 11,
    KelctlSetBankBackup = 12, // the whole sensor at once; %1 the bank
    KelctlSetSystemBackup = 13,
    KelctlSetBankRestore = 14,
    KelctlSetSystemRestore = 15,
    KelctlSetBankReadBack = 16,
    KelctlSetSystemReadBack = 17,
    KelctlBlockSame = 18, // how a block compares with its file
    KelctlBlockDifferent = 19,
    KelctlBlockFailed = 20,
    KelctlSetComplete = 21,
    KelctlSetIncomplete = 22,
    KelctlSetFileMissing = 23, // %1 the file
    KelctlSetFileChanged = 24,
    KelctlSetFileNotListed = 25,
    KelctlSetNotComplete = 26,
    KelctlSetNotUsed = 27,
    KelctlSummaryName = 28, // the columns of a sensor list's summary
    KelctlSummaryResult = 29,
    KelctlSummarySeconds = 30,
    KelctlSummaryBytes = 31,
    KelctlSensorLineBad = 32, // %1 the sensor list, %2 the line
    KelctlSensorNameTwice = 33,
    KelctlSensorListEmpty = 34, // %1 the sensor list
    KelctlChannel = 35,         // the columns of a picture's figures
    KelctlMean = 36,
    KelctlStandardDeviation = 37,
    KelctlMinimum = 38,
    KelctlMaximum = 39,
    KelctlAtZero = 40,
    KelctlAtFull = 41,
    KelctlRed = 42, // the channels
    KelctlGreen = 43,
    KelctlBlue = 44,
    KelctlGrey = 45,
    KelctlSaturated = 46,
    KelctlStatsArea = 47,      // %1 x %2 the picture, %3,%4 %5 x %6 the rectangle, %7 its pixels
    KelctlMeanDifference = 48, // the columns of a comparison
    KelctlLargestDifference = 49,
    KelctlOverThreshold = 50, // %1 of %2 pixels, %3 their share, %4 the threshold
    // What went wrong, for the operator.
    KelctlNotConverted = 60,      // %1 the file
    KelctlFilesNotConverted = 61, // %1 of %2 files
    KelctlNoSuchFile = 62,        // %1 the name given
    KelctlCannotMakeFolder = 63,  // %1 the folder
    KelctlCannotReplaceFile = 64, // %1 the file
    KelctlTransferStopped = 65,
    KelctlRemoteCancelled = 66,
    KelctlStopped = 67,
    KelctlUnexpectedReply = 68, // %1 the reply, %2 the command
    KelctlWarning = 69,         // %1 what the port goes on without
    KelctlFirstBankNotSaved = 70,
    KelctlBankNotSaved = 71, // %1 the bank, %2 the last bank saved
    KelctlNoImageSize = 72,  // %1 the size code
    KelctlSourceKept = 73,   // %1 the source, %2 where the bitmap goes
    KelctlListTooLong = 74,  // %1 the sensor list
    KelctlNotAPicture = 75,  // %1 the file
    KelctlSizesDiffer = 76,  // %1 x %2 and %3 x %4
    KelctlKindsDiffer = 77,
    KelctlRectangleOutside = 78, // %1 the rectangle, %2 x %3 the picture
    KelctlTooMuchDiffers = 79,   // %1 the share, %2 the threshold, %3 the share allowed
};

// Section "Status".
enum StatusText : int {
    // What an operation is called, for StatusStopped and StatusFailed.
    StatusNameFetch = 1,
    StatusNameUpload = 2,
    StatusNameBankBackup = 3, // %1 the bank
    StatusNameBankRestore = 4,
    StatusNameSystemBackup = 5,
    StatusNameSystemRestore = 6,
    StatusNameMeasure = 7,
    StatusNameContinuousStart = 8,
    StatusNameContinuousEnd = 9,
    StatusNameCapture = 10,
    StatusNameResultRead = 11,
    StatusNameOpen = 12, // %1 the file
    StatusNameSave = 13, // %1 the file
    StatusStopped = 20,  // %1 the operation
    StatusFailed = 21,
    // Transfers that succeeded: the file where there is one, then bytes and seconds.
    StatusFetched = 30,
    StatusUploaded = 31,
    StatusBankBackedUp = 32, // %1 the bank, %2 the file
    StatusBankRestored = 33,
    StatusSystemBackedUp = 34,
    StatusSystemRestored = 35,
    // Measurement.
    StatusMeasured = 40, // %1 the judgement, %2 the value
    StatusMeasureSent = 41,
    StatusContinuousStarted = 42,
    StatusContinuousEnded = 43,
    StatusCaptureSent = 44,
    // Files.
    StatusOpened = 50, // %1 the file
    StatusSaved = 51,
    StatusBatchConverted = 52,       // %1 the number of files converted, every one chosen
    StatusBatchPartlyConverted = 85, // %1 converted, %2 not converted
    // The picture and where it came from.
    StatusPicture = 60, // %1 a file, or one of the two below
    StatusPictureFromSensor = 61,
    StatusPictureNone = 62,
    // The reply awaited: %1 one of the names after it.
    StatusWaiting = 70,
    StatusWaitImageInfo = 71,
    StatusWaitFetch = 72,
    StatusWaitUpload = 73,
    StatusWaitBankBackup = 74, // %1 the bank
    StatusWaitBankRestore = 75,
    StatusWaitSystemBackup = 76,
    StatusWaitSystemRestore = 77,
    StatusWaitMeasure = 78,
    StatusWaitContinuousStart = 79,
    StatusWaitContinuousEnd = 80,
    StatusWaitCapture = 81,
    StatusWaitJudgement = 82,
    StatusWaitValue = 83,
    StatusWaitCommand = 84, // %1 a command without words of its own, as sent
    // The whole sensor at once.
    StatusNameSetBackup = 90,
    StatusNameSetRestore = 91,
    StatusSetBackedUp = 92,   // %1 the folder, %2 bytes, %3 seconds
    StatusSetRestored = 93,   // the same; every block read back the same
    StatusSetNotSame = 94,    // %1 the folder, %2 the blocks not read back the same
    StatusSetIncomplete = 95, // %1 the blocks kept, %2 where
    StatusSetRefused = 96,    // %1 the folder
};

// Message box style numbers the program uses itself; the others come from the message files.
constexpr int kStyleCriticalOk = 16;
constexpr int kStyleExclamationOk = 48;

// The title of the box that reports a failure to write to the port during a transfer; the
// only box whose title is not the application title.
inline const QString kPortFailureTitle = QStringLiteral("エラー");

} // namespace kel
