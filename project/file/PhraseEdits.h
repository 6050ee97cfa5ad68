// The changes the user makes to single phrases: confirming a text in the
// translation editor, and the HIDE and ON toggles of the grid.
#pragma once

#include <cstddef>
#include <string_view>

#include "analysis/PhraseTable.h"

namespace velmora {

// The editor's OK. A non-empty text becomes a new entry of EditedTexts that
// the phrase names, with ON set and HIDE cleared; an empty text takes the
// phrase's edited text away (no entry, ON cleared, HIDE as it was).
// Returns true when the table changed in a way the user can see: a
// different text, or a changed ON or HIDE flag. Raises std::out_of_range
// for an index outside the table and std::invalid_argument for a link
// record, which never gets a text.
bool ApplyEditedText(PhraseTable& table, size_t index, std::string_view after);

// Flips HIDE, allowed only on a phrase without an edited text. Returns false
// (and changes nothing) when refused: the phrase has a text, is a link
// record, or the index is outside the table.
bool ToggleHide(PhraseTable& table, size_t index);

// Flips ON, allowed only on a phrase with an edited text. A phrase whose ON
// flag is set without a text (a damaged project) may have it cleared.
// Returns false (and changes nothing) when refused.
bool ToggleOn(PhraseTable& table, size_t index);

}  // namespace velmora
