#include "ui/library/TemplateWindow.h"

#include "model/CardLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// A side's longer side in the list, in device-independent pixels.
constexpr int kSideSize = 150;
constexpr int kPathRole = Qt::UserRole;

} // namespace

TemplateWindow::TemplateWindow(const ProgramFolder &folder, QWidget *parent)
    : QDialog(parent), m_folder(folder),
      m_thumbnails(new CardThumbnails(folder, int(kSideSize * qApp->devicePixelRatio()), this))
{
    setObjectName(QStringLiteral("TemplateWindow"));
    setWindowTitle(QStringLiteral("从模板开始"));
    m_categories = new QListWidget(this);
    m_categories->setObjectName(QStringLiteral("lst_templateCategories"));
    m_categories->setFixedWidth(140);
    m_cards = new QListWidget(this);
    m_cards->setObjectName(QStringLiteral("lst_templates"));
    m_cards->setViewMode(QListView::IconMode);
    m_cards->setMovement(QListView::Static);
    m_cards->setResizeMode(QListView::Adjust);
    m_cards->setWordWrap(true);
    m_cards->setIconSize({2 * kSideSize + kSideSize / 10, kSideSize});
    m_cards->setGridSize({2 * kSideSize + kSideSize / 10 + 16, kSideSize + 40});
    m_cards->setUniformItemSizes(true);
    m_cards->setMinimumSize(3 * m_cards->gridSize().width() + 24, 2 * m_cards->gridSize().height() + 8);

    m_use = new QPushButton(QStringLiteral("使用此模板"), this);
    m_use->setObjectName(QStringLiteral("cmd_useTemplate"));
    m_use->setDefault(true);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("cmd_closeTemplates"));
    close->setAutoDefault(false);

    auto *lists = new QHBoxLayout;
    lists->addWidget(m_categories);
    lists->addWidget(m_cards, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_use);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    connect(m_categories, &QListWidget::currentRowChanged, this, &TemplateWindow::showCategory);
    connect(m_cards, &QListWidget::itemActivated, this, &TemplateWindow::useChosen);
    connect(m_cards, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *item) { m_use->setEnabled(item != nullptr); });
    connect(m_use, &QPushButton::clicked, this, &TemplateWindow::useChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_thumbnails, &CardThumbnails::ready, this, &TemplateWindow::showThumbnail);
}

void TemplateWindow::refill()
{
    const QString shown = m_categories->currentItem() ? m_categories->currentItem()->text() : QString();
    m_categories->clear();
    m_categories->addItems(CardLibrary::categories(m_folder));
    const auto found = m_categories->findItems(shown, Qt::MatchExactly);
    m_categories->setCurrentRow(found.isEmpty() ? 0 : m_categories->row(found.first()));
    m_cards->setFocus();
}

QString TemplateWindow::chosenFile() const
{
    const QListWidgetItem *item = m_cards->currentItem();
    return item ? item->data(kPathRole).toString() : QString();
}

void TemplateWindow::showCategory(int row)
{
    m_cards->clear();
    m_use->setEnabled(false);
    if (row < 0) return;
    const QString dir = QDir(m_folder.libraryDir(ProgramFolder::Library::Cards)).filePath(m_categories->item(row)->text());
    for (const QString &file : CardLibrary::cardFiles(dir)) {
        if (!CardLibrary::isCardFile(file)) continue;
        auto *item = new QListWidgetItem(QFileInfo(file).completeBaseName(), m_cards);
        const QString path = QDir(dir).filePath(file);
        item->setData(kPathRole, path);
        item->setToolTip(file);
        setThumbnail(item, m_thumbnails->thumbnail(path));
    }
    m_cards->setCurrentRow(0);
}

void TemplateWindow::showThumbnail(const QString &path)
{
    for (int i = 0; i < m_cards->count(); ++i) {
        QListWidgetItem *item = m_cards->item(i);
        if (item->data(kPathRole).toString() == path) setThumbnail(item, m_thumbnails->thumbnail(path));
    }
}

// A card not drawn yet shows an empty frame of a card's size. The list sizes
// every item like the first, so that frame stands in a picture as large as a
// two-sided thumbnail: nothing drawn later is cut off.
void TemplateWindow::setThumbnail(QListWidgetItem *item, const QImage &image)
{
    QPixmap pixmap;
    if (image.isNull()) {
        const qreal ratio = qApp->devicePixelRatio();
        pixmap = QPixmap(m_cards->iconSize() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(0, 0, kSideSize - 1, kSideSize * 3 / 5 - 1);
    } else {
        pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(qApp->devicePixelRatio());
    }
    item->setData(Qt::DecorationRole, pixmap);
}

void TemplateWindow::useChosen()
{
    const QString path = chosenFile();
    if (path.isEmpty()) return;
    accept();
    emit templateChosen(path);
}
