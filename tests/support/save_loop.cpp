// Saves a card to one file over and over through the designer's saving routine
// (ProfileStore::saveCard), alternating two documents, until it is killed or
// has saved COUNT times. The kill-during-save test drives it.
//   penlark-save-loop PROGRAM_FOLDER [COUNT]
// The file is mycard/kill/card.pnk in PROGRAM_FOLDER. Document 0 is the default
// card, document 1 a gradient card with long texts; the two files differ in
// size and in every section. Saves alternate from document 0.
// "saving" on stdout tells that the loop has started, then a "." follows each
// completed save.
#include "model/ProfileStore.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

class KillTarget : public CardFileContext
{
public:
    CardSource cardSource() const override { return CardSource::OpenPanelList; }
    SaveTarget saveTarget() const override { return {QStringLiteral("kill"), QStringLiteral("card"), SaveFormat::CardFile}; }
    QString openPanelFile() const override { return {}; }
    QString libraryManagerFile() const override { return {}; }
};

CardDocument longCard()
{
    CardDocument card = CardDocument::defaultCard();
    card.page.width = 9000;
    card.page.isBg = BackgroundKind::Gradient;
    card.page.jbColor1 = 255;
    card.page.jbJiaoDu = QStringLiteral("45");
    card.logo.visible = false;
    card.line.bgColor = 65280;
    for (CardText &text : card.texts) {
        text.caption = text.caption.repeated(40);
        text.FontSize = 11.5f;
    }
    return card;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) return 2;
    const ProgramFolder folder(args[1]);
    QDir().mkpath(folder.libraryDir(ProgramFolder::Library::Cards) + QStringLiteral("/kill"));
    const long count = args.size() > 2 ? args[2].toLong() : -1;

    KillTarget target;
    ProfileStore store(folder, target);
    const std::array<CardDocument, 2> documents{CardDocument::defaultCard(), longCard()};
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (long i = 0; count < 0 || i < count; ++i) {
        CardDocument card = documents[std::size_t(i % 2)];
        if (!store.saveCard(card, {})) return 1;
        std::fputc('.', stdout);
        std::fflush(stdout);
    }
    return 0;
}
