#include "ui/prompter.h"

#include <QDialog>
#include <QMessageBox>

namespace {

const QString kTitle = QStringLiteral("Navorel");

} // namespace

void centreOver(QWidget *window, const QWidget *over)
{
    window->move(over->geometry().center() - window->rect().center());
}

void Prompter::errorBox(QWidget *parent, const QString &message)
{
    QMessageBox::critical(parent, kTitle, message);
}

void Prompter::messageBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, message, QMessageBox::Ok, parent);
    box.exec();
}

void Prompter::addressBox(QWidget *parent, const QString &message, const QString &address)
{
    QMessageBox box(QMessageBox::Information, kTitle, message, QMessageBox::Ok, parent);
    box.setInformativeText(address);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void Prompter::systemErrorBox(const QString &caption, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok);
    box.exec();
}

void Prompter::runModal(QDialog *dialog)
{
    dialog->exec();
}

bool Prompter::askReplace(QWidget *parent, const QString &path)
{
    QMessageBox box(QMessageBox::Warning, kTitle, QStringLiteral("%1 already exists. Replace it?").arg(path),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Prompter::SaveChoice Prompter::askSaveChanges(QWidget *parent, const QString &name)
{
    QMessageBox box(QMessageBox::Warning, kTitle, QStringLiteral("Save changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}
