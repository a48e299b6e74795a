#pragma once

#include "model/Colour.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// How the page background is filled; the numbers are those stored in card files.
enum class BackgroundKind : std::uint8_t {
    SolidColour = 0,
    Gradient = 1,
    BuiltInImage = 2,
    LibraryImage = 3,
};

inline bool isPictureKind(BackgroundKind kind)
{
    return kind == BackgroundKind::BuiltInImage || kind == BackgroundKind::LibraryImage;
}

// Which list or setting names the card file that is read next: the start-up card
// of the settings file, the open panel's file list or the library manager's, or
// a file from outside the library (named on the command line or dropped), or
// a card of the library chosen as a template for a new card.
enum class CardSource { StartupCard, OpenPanelList, LibraryManagerList, OutsideFile, Template };

// Lengths are twips (1/1440 inch), font sizes points, colours 0x00BBGGRR.
struct CardPage {
    float width = 0;
    float height = 0;
    BackgroundKind isBg = BackgroundKind::SolidColour;
    Colour::Value bgColor = Colour::kWhite;
    QString bgImg;           // built-in index "0".."14", or category\file in the background library
    Colour::Value jbColor1 = Colour::kWhite;
    Colour::Value jbColor2 = Colour::kWhite;
    QString jbJiaoDu = QStringLiteral("0"); // gradient angle as typed

    bool operator==(const CardPage &) const = default;
};

struct CardLogo {
    QString img;             // category\file in the logo library; empty: the built-in logo
    float width = 0;
    float height = 0;
    float left = 0;
    float top = 0;
    bool visible = true;

    bool operator==(const CardLogo &) const = default;
};

// The decorative line is a filled box: wide and one thickness high, or the reverse.
struct CardLine {
    float width = 0;
    float height = 0;
    float left = 0;
    float top = 0;
    Colour::Value bgColor = Colour::kBlack;
    bool visible = true;

    bool operator==(const CardLine &) const = default;
};

struct CardText {
    QString caption;
    QString Font;
    bool FontBold = false;
    bool FontItalic = false;
    float FontSize = 9;
    Colour::Value ForeColor = Colour::kBlack;
    float Left = 0;
    float Top = 0;
    bool visible = true;

    bool operator==(const CardText &) const = default;
};

// A QR code holding the card's texts as a contact (vCard): a square, quiet zone
// included, with its top-left corner at left, top. Cards without one keep no
// trace of it in their files.
struct CardQrCode {
    static constexpr float kDefaultSize = 1021; // 18 mm

    bool visible = true;
    float left = 0;
    float top = 0;
    float size = kDefaultSize;

    bool operator==(const CardQrCode &) const = default;

    // A code of that size resting on the page's bottom and right trim lines.
    static CardQrCode atBottomRight(const CardPage &page, float size);
};

// The eleven text objects, in their fixed order.
enum class TextRole : std::uint8_t {
    Name, Job, Company, Address, Postcode, Telephone, Fax, Mobile, Email, Web, QQ,
};
inline constexpr std::size_t kTextCount = 11;

// One side of a card: its background, logo, line, eleven texts and QR code.
// The page size is the card's; both sides carry it.
struct CardFace {
    CardPage page;
    CardLogo logo;
    CardLine line;
    std::array<CardText, kTextCount> texts;
    std::optional<CardQrCode> qrCode;

    CardText &text(TextRole role) { return texts[std::size_t(role)]; }
    const CardText &text(TextRole role) const { return texts[std::size_t(role)]; }

    bool operator==(const CardFace &) const = default;
};

enum class CardSide : std::uint8_t { Front, Back };

// A card. Its own fields are the side that is shown (the front unless the back
// is), so everything that draws or edits one side works on either; the other
// side, when the card has a back, waits in otherSide.
struct CardDocument : CardFace {
    std::optional<CardFace> otherSide;
    CardSide shownSide = CardSide::Front;

    bool operator==(const CardDocument &) const = default;

    bool hasBack() const { return otherSide.has_value(); }
    // The side as it stands, with the card's page size; the front when there is no back.
    CardFace face(CardSide side) const;
    // The front's texts, which the QR code's contact is made from on either side.
    const std::array<CardText, kTextCount> &frontTexts() const;
    // Shows that side (which the card must have); the page size goes with it.
    void showSide(CardSide side);
    // Gives the card its back as it starts, and shows nothing new: the front
    // stays shown and unchanged.
    void addBack();
    // Drops the back; the front is shown.
    void removeBack();
    // A copy of the card with that side shown.
    CardDocument showing(CardSide side) const;

    // The built-in default card, one-sided. The gradient colours are not part of
    // it: putting the default card on the page keeps the current ones.
    static CardDocument defaultCard();
    void resetToDefault();
    // A new back: the front's background, and of the default card's objects only
    // the name, job title and company, set for an English side.
    static CardFace newBack(const CardPage &frontPage);
};

// The card file section of each text object, "cName" to "cQQ".
QString textSection(std::size_t index);
// The Chinese name of each text's field, "姓名" to "QQ" (from the address on, the
// label its default text starts with).
QString textFieldName(std::size_t index);
