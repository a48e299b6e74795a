#pragma once

#include "model/ProgramFolder.h"
#include "render/CardThumbnails.h"

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

// The templates to start a card from: the categories of the card library on
// the left, every card of the chosen category as a thumbnail (front, with its
// back beside it) under its name on the right. Double-click, Enter or
// "使用此模板" uses the chosen card; Esc closes. The window is kept between
// uses, and so are its thumbnails.
class TemplateWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TemplateWindow(const ProgramFolder &folder, QWidget *parent = nullptr);

    // Reads the categories again (the library may have changed since) and
    // shows the first, or the one shown before.
    void refill();

    QListWidget *categoryList() const { return m_categories; }
    QListWidget *cardList() const { return m_cards; }
    QPushButton *useButton() const { return m_use; }
    // Full path of the card chosen; empty when none is.
    QString chosenFile() const;

signals:
    void templateChosen(const QString &path);

private:
    void showCategory(int row);
    void showThumbnail(const QString &path);
    void setThumbnail(QListWidgetItem *item, const QImage &image);
    void useChosen();

    ProgramFolder m_folder;
    CardThumbnails *m_thumbnails;
    QListWidget *m_categories;
    QListWidget *m_cards;
    QPushButton *m_use;
};
