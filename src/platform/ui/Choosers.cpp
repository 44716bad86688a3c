#include "platform/ui/Choosers.h"
#include "platform/ui/Prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>

namespace platform {

QStringList toQtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out;
}

QString filterExtension(const QString &qtNameFilter)
{
    const qsizetype open = qtNameFilter.lastIndexOf(u'(');
    const qsizetype close = qtNameFilter.lastIndexOf(u')');
    if (open < 0 || close < open)
        return QString();
    const QStringList patterns = qtNameFilter.mid(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts);
    if (patterns.isEmpty() || !patterns.first().startsWith(QLatin1String("*.")))
        return QString();
    const QString ext = patterns.first().mid(2);
    if (ext.isEmpty() || ext.contains(u'*') || ext.contains(u'?'))
        return QString();
    return ext;
}

namespace {

class QtChoosers final : public Choosers {
public:
    std::optional<FileDialogResult> chooseFile(const FileDialogRequest &r) override
    {
        QFileDialog dlg(dialogOwner(), r.title, r.initialDir);
        dlg.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!r.confirmOverwrite)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        const QStringList filters = toQtNameFilters(r.filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            const int idx = qBound(1, r.filterIndex, int(filters.size()));
            dlg.selectNameFilter(filters[idx - 1]);
        }
        if (r.save) {
            // The name a user types without an extension gets the chosen format's, before
            // the dialog checks whether the file exists.
            const QString own = filters.isEmpty() ? QString() : filterExtension(dlg.selectedNameFilter());
            dlg.setDefaultSuffix(own.isEmpty() ? r.defaultSuffix : own);
            QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, fallback = r.defaultSuffix](const QString &f) {
                const QString ext = filterExtension(f);
                dlg.setDefaultSuffix(ext.isEmpty() ? fallback : ext);
            });
        }
        if (!r.fileName.isEmpty())
            dlg.selectFile(r.fileName);
        const std::pair<QString, QFileDialog::DialogLabel> labels[] = {
            {QStringLiteral("FileNameLabel"), QFileDialog::FileName},
            {QStringLiteral("FILETYPELABEL"), QFileDialog::FileType},
            {r.save ? QStringLiteral("SaveButtonCaption") : QStringLiteral("OpenButtonCaption"), QFileDialog::Accept},
            {QStringLiteral("CancelButtonCaption"), QFileDialog::Reject}};
        for (const auto &[role, label] : labels)
            if (r.captions.contains(role))
                dlg.setLabelText(label, r.captions.value(role));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        FileDialogResult res;
        res.path = dlg.selectedFiles().constFirst();
        res.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
        if (res.filterIndex < 1)
            res.filterIndex = 1;
        return res;
    }

    QString chooseFolder(const QString &title, const QString &startDir) override
    {
        return QFileDialog::getExistingDirectory(dialogOwner(), title, startDir);
    }

    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override
    {
        const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
        const QColor c = QColorDialog::getColor(start, dialogOwner());
        if (!c.isValid())
            return std::nullopt;
        return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
    }
};

std::unique_ptr<Choosers> makeDefault() { return makeQtChoosers(); }

} // namespace

std::unique_ptr<Choosers> makeQtChoosers() { return std::make_unique<QtChoosers>(); }

template <> Seam<Choosers>::Factory &Seam<Choosers>::defaultFactory()
{
    static Factory f = &makeDefault;
    return f;
}

} // namespace platform
