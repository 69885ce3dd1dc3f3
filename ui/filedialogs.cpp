#include "ui/filedialogs.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i] + QStringLiteral(" (")
                       + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '))
                       + QLatin1Char(')'));
    return filters;
}

int filterIndex(const QString &filter, const QString &name)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i] == name)
            return static_cast<int>(i / 2);
    }
    return -1;
}

void FileDialogState::chose(const QString &path, const QString &filterName)
{
    fileName = path;
    folder = QFileInfo(path).absolutePath();
    if (filterIndex(filter, filterName) >= 0)
        chosenFilter = filterName;
}

namespace {

QString runDialog(QWidget *parent, FileDialogState &state, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!state.title.isEmpty())
        dialog.setWindowTitle(state.title);
    const QStringList filters = nameFilters(state.filter);
    dialog.setNameFilters(filters);
    if (const int chosen = filterIndex(state.filter, state.chosenFilter); chosen >= 0)
        dialog.selectNameFilter(filters[chosen]);
    if (!state.folder.isEmpty())
        dialog.setDirectory(state.folder);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !state.confirmOverwrite);
    // A name typed without an extension gets the one of the filter chosen,
    // or the dialog's default when the filter takes any file.
    QString fallback = state.defaultSuffix;
    if (fallback.startsWith(QLatin1Char('.')))
        fallback.remove(0, 1);
    const auto suffixFor = [fallback](const QString &nameFilter) {
        const qsizetype open = nameFilter.lastIndexOf(QStringLiteral("(*."));
        const QString pattern = open < 0 ? QString() : nameFilter.mid(open + 3).chopped(1);
        return pattern.isEmpty() || pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char(' '))
                   ? fallback
                   : pattern;
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixFor](const QString &nameFilter) { dialog.setDefaultSuffix(suffixFor(nameFilter)); });
    if (!state.fileName.isEmpty()) {
        const QFileInfo proposed(state.fileName);
        if (proposed.isAbsolute())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
    state.chose(dialog.selectedFiles().constFirst(),
                chosen < 0 ? QString() : state.filter.split(QLatin1Char('|')).value(chosen * 2));
    return state.fileName;
}

} // namespace

QString QtFileDialogs::openFileName(QWidget *parent, FileDialogState &state)
{
    return runDialog(parent, state, QFileDialog::AcceptOpen);
}

QString QtFileDialogs::saveFileName(QWidget *parent, FileDialogState &state)
{
    return runDialog(parent, state, QFileDialog::AcceptSave);
}
