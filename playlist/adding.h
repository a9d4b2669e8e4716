// Adding files to the playlist: the open-file dialog and dropped files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/gui.h"
#include "playlist/playlist.h"

namespace playlist {

// The dialog's filter: descriptions and patterns separated by '|'.
constexpr const char* DIALOG_FILTER =
    "Media Files (Wave,MP3,OGG)|*.wav;*.ogg;*.mp3|Wave File (*.wav)|*.wav|Mp3 File(*.mp3)|*.mp3|"
    "Ogg File(*.ogg)|*.ogg|Midi (*.mid)|*.mid|All files (*.*)|*.*";
constexpr int DIALOG_CAPACITY = 10000;

// The paths a dialog answer (in UTF-8) names: one full path, or a folder and names.
std::vector<std::string> chosenPaths(const std::vector<std::string>& answer);

// True for a name (in UTF-8) whose extension, lower-cased, is mp3, wav, mid or ogg.
bool hasAudioExtension(const std::string& utf8Path);

// A path the system opens by its single-byte form has fewer characters than this.
constexpr std::size_t PATH_CHARACTERS_LIMIT = 260;
// The form in which a single-byte path becomes a row that can play: the path
// itself; for one of 260 characters or more, its short form when that is
// shorter; empty for one that can never play (a control character in it, or
// too long without a short form that fits). Every way in takes its paths so.
std::string playablePath(const std::string& path);
// A path the system gave (in UTF-8), kept so: see singleBytePath and playablePath.
std::string keptPath(const std::string& utf8Path);

// Appends the files chosen in the open-file dialog, then points `currentPath`
// at the selected row (empty when none is). True when the dialog was accepted
// and the pass goes on into the load step.
bool addFilesByDialog(Playlist& playlist, std::string& currentPath);

// The files of a drop polled in the previous pass.
void addDroppedFiles(Playlist& playlist, const platform::Event& event);

}  // namespace playlist
