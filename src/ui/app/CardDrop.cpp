#include "ui/app/CardDrop.h"

#include "model/CardLibrary.h"
#include "model/CardSession.h"
#include "model/LibraryFiles.h"
#include "render/AppliedPictures.h"
#include "render/PagePictures.h"
#include "ui/common/Dialogs.h"
#include "ui/common/LibraryMessages.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

const QString kReminder = QStringLiteral("提醒您：");
using Library = ProgramFolder::Library;

// The first dropped local file that is a card or a picture; empty when none.
QString firstUsableFile(const QMimeData *data)
{
    if (!data || !data->hasUrls()) return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && CardDrop::kindOf(url.toLocalFile()) != CardDrop::Kind::Other)
            return url.toLocalFile();
    return {};
}

} // namespace

const QString CardDrop::kImportCategory = QStringLiteral("导入");

CardDrop::CardDrop(ProgramFolder folder, CardSession &session, Dialogs &dialogs, QWidget &window)
    : QObject(&window), m_folder(std::move(folder)), m_session(session), m_dialogs(dialogs)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

CardDrop::Kind CardDrop::kindOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (CardLibrary::isCardFile(name)) return Kind::Card;
    return QDir::match(LibraryFiles::pictureNameFilters(), name) ? Kind::Picture : Kind::Other;
}

bool CardDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        // The files are looked at once, when the drag enters; moves keep that verdict.
        if (event->type() == QEvent::DragEnter) m_usableDrag = !firstUsableFile(drag->mimeData()).isEmpty();
        if (m_usableDrag) drag->acceptProposedAction();
        return true;
    }
    if (event->type() != QEvent::Drop) return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString file = firstUsableFile(drop->mimeData());
    if (file.isEmpty()) return true;
    drop->acceptProposedAction();
    takeFile(file);
    return true;
}

void CardDrop::takeFile(const QString &path)
{
    const Kind kind = kindOf(path);
    if (kind == Kind::Card) emit cardDropped(path);
    if (kind == Kind::Picture && importPicture(path) == Library::Logos) emit logoApplied();
}

std::optional<ProgramFolder::Library> CardDrop::importPicture(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const Dialogs::Answer answer =
        m_dialogs.ask(QStringLiteral("要把图片“") + name + QStringLiteral("”用作名片的标志吗？\r"
                                                                      "选择“是”用作标志，选择“否”用作页面背景…"),
                      kReminder, Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
    if (answer != Dialogs::Answer::Yes && answer != Dialogs::Answer::No) return std::nullopt;
    const Library library = answer == Dialogs::Answer::Yes ? Library::Logos : Library::Backgrounds;
    const PagePictures::ReadPicture read = PagePictures::readPictureFile(path);
    if (read.image.isNull()) {
        LibraryMessages::showUnreadablePicture(m_dialogs, name, read.problem);
        return std::nullopt;
    }
    const std::optional<QString> reference = copyIntoLibrary(path, library);
    if (!reference) return std::nullopt;
    if (library == Library::Logos)
        AppliedPictures::applyFittedLogo(m_session, *reference, read.image);
    else
        AppliedPictures::applyBackground(m_session, *reference, read.image);
    return library;
}

std::optional<QString> CardDrop::copyIntoLibrary(const QString &path, Library library)
{
    const QString dir = m_folder.libraryDir(library) + u'/' + kImportCategory;
    const QString name = CardLibrary::safeName(QFileInfo(path).fileName());
    const QString target = dir + u'/' + name;
    const QString reference = kImportCategory + u'\\' + name;
    // A picture dropped from the category itself is applied where it is.
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(path).canonicalFilePath()) return reference;
    if (QFileInfo::exists(target) && !LibraryMessages::mayReplace(m_dialogs, name)) return std::nullopt;
    if (QDir().mkpath(dir) && LibraryFiles::copyFileAs(path, target)) return reference;
    LibraryMessages::showCopyFailed(m_dialogs, name);
    return std::nullopt;
}
