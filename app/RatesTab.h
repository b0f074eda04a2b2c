#pragma once

#include "content/RateTable.h"

#include <QWidget>

#include <array>

class BoardContent;
class QLineEdit;
class TFrame1corvane;

// The rates tab: the eight editor rows. They show the content's rates, and each row the
// operator types in goes to the content as one change; a row the content sets is shown
// without coming back as a change.
class TRatesTab : public QWidget
{
    Q_OBJECT
public:
    explicit TRatesTab(QWidget *parent = nullptr);

    // Shows the content's rates now and from here on; typed rows go to it.
    void follow(BoardContent &content);
    // The row that holds the field hands what it shows to the content. A field of another
    // tab, or any field before follow(), changes nothing.
    void commitEdit(QLineEdit *field);

    // Rates set elsewhere (a branch takes the head office's): the rows cannot be edited.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    // Indexed by tag, 1 to RateSlotCount; element 0 is unused.
    std::array<TFrame1corvane *, RateSlotCount + 1> rows{};

signals:
    // A field of an editor row changed as the operator typed.
    void fieldEdited(QLineEdit *field);
    // The operator left a field of an editor row, or pressed Enter in it: typing there
    // has come to an end.
    void fieldLeft();

private:
    void showSlot(int slot);
    void showAll();

    BoardContent *m_content = nullptr;
    bool m_readOnly = false;
};
