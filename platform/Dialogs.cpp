#include "Dialogs.h"

#include "content/PictureFormat.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

namespace {

const QString kFilter = QStringLiteral("Text files (*.txt)");

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

    std::optional<QString> chooseOpenFile(const QString &folder, QWidget *parent) override
    {
        QFileDialog dialog(parent, QString(), folder, kFilter);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setFileMode(QFileDialog::AnyFile);
        return run(dialog);
    }

    std::optional<QString> chooseSaveFile(const QString &folder, QWidget *parent) override
    {
        QFileDialog dialog(parent, QString(), folder, kFilter);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        return run(dialog);
    }

    std::optional<QString> choosePicture(const QString &folder, QWidget *parent) override
    {
        QFileDialog dialog(parent, QString(), folder);
        dialog.setNameFilters(PictureFormats::dialogFilters());
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::ReadOnly);
        return run(dialog);
    }

private:
    static std::optional<QString> run(QFileDialog &dialog)
    {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().first();
    }
};

} // namespace

Dialogs::~Dialogs() = default;

Dialogs &Dialogs::system()
{
    static QtDialogs dialogs;
    return dialogs;
}
