// The notes of a run on disk, so that the next run of the same setup can finish or undo what a
// run that was killed (or lost power) left. One line per RunChange, written before the step it
// describes; a "done" line once the run succeeded, before its moved-aside files are removed.
// Written lines outlive a killed run. A line waits for the disk too (FlushFileBuffers) only
// where a power cut would otherwise lose earlier data: before an earlier file is moved aside,
// earlier attributes or an earlier registry value change, and the "done" line. Each line ends with a check of its own: a line cut anywhere, or anything else that
// does not check, is passed over (its step never happened). The file goes when the run ends.
#pragma once

#include <string>
#include <vector>

#include "install/RunChanges.h"

class Platform;

// The file name's extension; the memory machine's injected faults pass such files over.
inline constexpr char kRunJournalExtension[] = ".journal";
bool IsRunJournal(const std::string& path);

std::string RunJournalLine(const RunChange& change);
std::string RunJournalDoneLine();

struct RunJournalContents {
    std::vector<RunChange> changes;
    bool done = false;
};
RunJournalContents ReadRunJournal(const std::string& text);

// Where the run of the product registered under keyName keeps its journal: in the Program
// Files folder, which only administrators may write, so no other user can leave a journal
// there for an elevated setup to act on. Empty when there is no such folder.
std::string RunJournalPath(Platform& platform, const std::string& keyName);

// Finishes the cleanup of a run that got as far as its "done" line, or else undoes what it
// noted, the last first; then removes the journal. The line to log, or empty when no journal
// was there.
std::string RecoverKilledRun(Platform& platform, const std::string& journalPath);
