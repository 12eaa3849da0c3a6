// One rule for every way the program ends, in setup and in uninstaller mode.
#pragma once

// The work was done, or the user chose to stop it: Finish, Cancel answered Yes, No to the
// uninstaller's question.
inline constexpr int kExitDoneOrStopped = 0;
// An error box or a refusal ended the program: a damaged archive or Setup.ini, a side picture
// that cannot be shown, a failed installation, missing administrator rights, a 64-bit product
// on 32-bit Windows, a damaged uninstall record.
inline constexpr int kExitErrorOrRefusal = 1;
