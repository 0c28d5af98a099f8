// The checker's findings in words, in the player's language: one home for
// every sentence that a finding, a note, a status and the verdict say.
#pragma once

#include <string>

#include "advice/diagnosis.h"

namespace holsterkeys {

// The finding or note, in whole sentences.
std::string text_of(const Finding& finding);

// A category's state in a few words, as the setup window shows it beside
// its key: "not bound", "fires on every shot"; "ok" when nothing is found
// about it.
std::string status_of(const Diagnosis& diagnosis, const BindingReadings& readings,
                      const Category& category);

// The findings and notes as lists, then the verdict, each line ended with
// "\n": what the checker's report prints below its table and the setup
// window shows below its rows.
std::string findings_text(const BindingReadings& readings, const Diagnosis& diagnosis);

// The line to write, as the player types it: "handguns=0x62".
std::string entry_text(const Proposal& proposal);

// Text from the player's file in quotes, every unprintable character named,
// and the numbers of its letters beyond ASCII after it:
// "\"ö\" (ö is U+00F6)".
std::string in_quotes(std::string_view text);

// Why a key just pressed is not taken for `category`, as a whole sentence
// that asks for another key; empty where it is taken.
std::string refused_press(KeyCode code, const Category& category);

// That a binding was written into the VirtualStore copy the game reads,
// and the file in the game's folder left as it was.
std::string copy_written();

// How to find a key's code, where no line that works can be given.
std::string how_to_find_a_code();

}  // namespace holsterkeys
