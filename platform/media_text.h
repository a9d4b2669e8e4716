// Text helpers shared by the media-command layer, the Wine media bridge and the
// simulated media device: command words, reply buffers and reply numbers; and
// the test that a path cannot name a file.
#pragma once

#include <climits>
#include <string>
#include <vector>

namespace platform {

std::string lower(std::string text);

// Splits a media command into blank-separated words; a double-quoted word may
// hold blanks and loses its quotes. Returns false for a malformed command (a
// quote not closed, or text glued to a closing quote), with the words read so far.
bool splitCommandWords(const std::string& command, std::vector<std::string>& words);

// Copies `text` and its terminator into a reply buffer. A null buffer takes
// nothing and succeeds; a text that does not fit is not written (false).
bool writeReply(const std::string& text, char* reply, int capacity);

// A numeric reply as the player reads it, within `capacity` characters.
int parseReplyNumber(const char* reply, int capacity = INT_MAX);

// The answer of a command the device did not answer within its bound: the
// device is then left behind, with every track it held open (the code is the
// interface's "device not ready").
constexpr int MEDIA_NOT_ANSWERING = 276;
constexpr int OPEN_BOUND_MS = 8000;
constexpr int COMMAND_BOUND_MS = 6000;

// How long the device may take to answer `command`: an open reads and
// prepares the file (a large one takes seconds), every other command is quick
// unless the device is stuck. Both stay well under the 10 s after which a
// window that does not answer counts as hung.
int commandBoundMs(const char* command);

// '?' and '*' are what characters outside the single-byte code page become in a
// path; such a path names no file.
bool holdsWildcard(const std::string& path);

}  // namespace platform
