#include "ui/panels/PicturePreview.h"

#include <QLabel>

namespace {
constexpr int kCaptionGap = 27; // 400 twips
}

PicturePreview::PicturePreview(QWidget *workspace) : QFrame(workspace)
{
    setObjectName(QStringLiteral("view_bg"));
    setAutoFillBackground(true);
    m_view = new QLabel(this);
    m_view->setObjectName(QStringLiteral("view"));
    m_info = new QLabel(QStringLiteral("您当前打开的是不可编辑的图片格式名片文件…"), this);
    m_info->setObjectName(QStringLiteral("view_info"));
    m_info->setStyleSheet(QStringLiteral("color: #ffffff;"));
    hide();
}

void PicturePreview::setPicture(const QPixmap &picture)
{
    m_view->setPixmap(picture);
    m_view->adjustSize();
}

void PicturePreview::fitToWorkspace()
{
    setGeometry(parentWidget()->rect());
    m_view->move((width() - m_view->width()) / 2, (height() - m_view->height()) / 2);
    m_info->adjustSize();
    m_info->move((width() - m_info->width()) / 2, m_view->y() - kCaptionGap);
}
