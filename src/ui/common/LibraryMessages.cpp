#include "ui/common/LibraryMessages.h"

#include "ui/common/Dialogs.h"

namespace LibraryMessages {

QString readProblem(const FileAccess::FileRead &read)
{
    switch (read.problem) {
    case FileAccess::Problem::None: break;
    case FileAccess::Problem::Missing: return QStringLiteral("该文件不存在，或刚被删除");
    case FileAccess::Problem::Folder: return QStringLiteral("这是一个文件夹");
    case FileAccess::Problem::NotRegular: return QStringLiteral("这不是一个普通的文件");
    case FileAccess::Problem::TooLarge: return QStringLiteral("文件太大，不是名片文件");
    case FileAccess::Problem::Unreadable: return read.reason;
    }
    return {};
}

namespace {

const QString kReminder = QStringLiteral("提醒您：");

} // namespace

void showUnreadablePicture(Dialogs &dialogs, const QString &name, PagePictures::ReadPicture::Problem problem)
{
    const QString text = problem == PagePictures::ReadPicture::Problem::TooLarge
                             ? QStringLiteral("图片文件“") + name + QStringLiteral("”太大（超过一亿像素），无法显示…")
                             : QStringLiteral("无法读取图片文件“") + name +
                                   QStringLiteral("”！\r该文件可能已经损坏，或者不是图片文件…");
    dialogs.show(text, kReminder, Dialogs::Icon::Warning);
}

bool mayReplace(Dialogs &dialogs, const QString &name)
{
    return dialogs.ask(QStringLiteral("这个分类中已经有名为“") + name + QStringLiteral("”的文件！\r要用新的文件替换它吗？"),
                       kReminder, Dialogs::Icon::Question, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

void showCopyFailed(Dialogs &dialogs, const QString &name)
{
    dialogs.show(QStringLiteral("无法添加文件“") + name +
                     QStringLiteral("”！\r可能的原因是文件无法读取，或者分类中的同名文件为只读状态…"),
                 kReminder, Dialogs::Icon::Critical);
}

} // namespace LibraryMessages
