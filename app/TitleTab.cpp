#include "TitleTab.h"

#include "desktop/HistoryComboBox.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

TTitleTab::TTitleTab(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TitleTab"));
    GroupTitle = new QGroupBox(QStringLiteral(" Титул "), this);
    GroupTitle->setObjectName(QStringLiteral("GroupTitle"));
    GroupTitle->setGeometry(0, 0, 297, 94);

    rbText = new QRadioButton(QStringLiteral("Текст"), GroupTitle);
    rbText->setObjectName(QStringLiteral("rbText"));
    rbText->setGeometry(8, 22, 113, 17);
    rbText->setChecked(true);

    rbImage = new QRadioButton(QStringLiteral("Изображение"), GroupTitle);
    rbImage->setObjectName(QStringLiteral("rbImage"));
    rbImage->setGeometry(8, 40, 113, 17);
    rbImage->setProperty("tag", 1);
    // Offered only once a picture file is known to exist.
    rbImage->setEnabled(false);

    bImage = new QPushButton(QStringLiteral("..."), GroupTitle);
    bImage->setObjectName(QStringLiteral("bImage"));
    bImage->setGeometry(256, 40, 33, 19);

    eTextList = new THistoryComboBox(GroupTitle);
    eTextList->setObjectName(QStringLiteral("eTextList"));
    eTextList->setGeometry(8, 62, 282, eTextList->sizeHint().height());
    eTextList->setMaxHistoryLength(kMaxHistoryLength);
    eTextList->setMaxVisibleItems(20);
    eTextList->view()->setStyleSheet(QStringLiteral("QAbstractItemView::item { min-height: 20px; }"));
}

void TTitleTab::showMode(bool showsPicture)
{
    QRadioButton *option = showsPicture ? rbImage : rbText;
    if (!option->isChecked())
        option->setChecked(true);
}
