#include "Dialogs.h"

#include <QColorDialog>
#include <QFontDialog>

namespace {

class QtDialogs final : public Dialogs
{
public:
    std::optional<BoardFont> chooseFont(const BoardFont &initial, QWidget *parent) override
    {
        bool accepted = false;
        const QFont font = QFontDialog::getFont(&accepted, initial.font, parent);
        if (!accepted)
            return std::nullopt;
        return BoardFont{font, initial.color, initial.charset};
    }

    // Qt's own colour dialog always shows the custom colours and the full colour picker;
    // a native one may not.
    std::optional<TColor> chooseColor(TColor initial, QWidget *parent) override
    {
        const QColor color =
            QColorDialog::getColor(resolveColor(initial), parent, QString(), QColorDialog::DontUseNativeDialog);
        if (!color.isValid())
            return std::nullopt;
        return toTColor(color);
    }
};

} // namespace

Dialogs::~Dialogs() = default;

Dialogs &Dialogs::system()
{
    static QtDialogs dialogs;
    return dialogs;
}
