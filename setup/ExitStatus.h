// One rule for every way the program ends, in setup and in uninstaller mode.
#pragma once

// The work was done, or the user chose to stop it: Finish, Cancel answered Yes, No to the
// uninstaller's question.
inline constexpr int kExitDoneOrStopped = 0;
// An error box or a refusal ended the program: a damaged archive or Setup.ini, a side picture
// that cannot be shown, a failed installation, missing administrator rights, a 64-bit product
// on 32-bit Windows, a damaged uninstall record. A run through the window knows no other
// status; a silent run keeps 1 for every failure without a status of its own below.
inline constexpr int kExitErrorOrRefusal = 1;

// Silent runs only: what a machine that started the setup needs to tell apart.
inline constexpr int kExitBadCommandLine = 2;
inline constexpr int kExitRefused = 3;  // no administrator rights, or a 64-bit product on 32-bit Windows
inline constexpr int kExitDiskFull = 4;
inline constexpr int kExitFileInUse = 5;
inline constexpr int kExitAlreadyRunning = 6;
inline constexpr int kExitDamagedSetup = 7;

struct ExitStatusRow {
    int Code;
    const char* Meaning;
    // winget's name for it (ExpectedReturnCodes), or null for the statuses winget knows already.
    const char* WingetResponse;
};

// The guide's table and the winget manifest's return codes.
inline constexpr ExitStatusRow kExitStatuses[] = {
    {kExitDoneOrStopped, "done (or, in the window, stopped by the user)", nullptr},
    {kExitErrorOrRefusal, "failed; in the window also refused", nullptr},
    {kExitBadCommandLine, "bad command line: an unknown or malformed switch, or a licence not accepted",
     "invalidParameter"},
    {kExitRefused, "refused: no administrator rights, or a 64-bit product on 32-bit Windows",
     "systemNotSupported"},
    {kExitDiskFull, "not enough space on the destination drive", "diskFull"},
    {kExitFileInUse, "a file in use could not be replaced after the retries", "fileInUse"},
    {kExitAlreadyRunning, "another setup of this product is running", "installInProgress"},
    {kExitDamagedSetup, "the setup (or the uninstall record) is damaged", "contactSupport"},
};
