#pragma once

class CardSession;
class Dialogs;
class ProfileStore;

// Applies the card file named by the session's card source to the session, key
// by key through the profile store, in the order the designer has always read
// them: background kind and picture, page size, background, logo, line, texts.
// Keys that the background kind does not use are not read, so their values stay
// as they were. A missing background or logo picture is reported once each; the
// card still opens (white page, built-in logo). A missing or malformed key keeps
// the default card's value.
void applyCardFile(CardSession &session, const ProfileStore &store, Dialogs &dialogs);
