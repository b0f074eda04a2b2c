#include "Dialogs.h"

#include "content/PictureFormat.h"

#include <QColorDialog>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QVBoxLayout>

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

    std::optional<QString> chooseExportFile(const QString &folder, const QString &suffix, QWidget *parent) override
    {
        QFileDialog dialog(parent, QString(), folder, QStringLiteral("%1 (*.%2)").arg(suffix.toUpper(), suffix));
        dialog.setDefaultSuffix(suffix);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        return run(dialog);
    }

    std::optional<QDateTime> chooseMoment(const QDateTime &initial, QWidget *parent) override
    {
        QDialog dialog(parent);
        dialog.setWindowTitle(QObject::tr("Момент"));
        auto *edit = new QDateTimeEdit(initial, &dialog);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
        edit->setCalendarPopup(true);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(edit);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return edit->dateTime();
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
