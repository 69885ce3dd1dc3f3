#include "serial/rs232window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <iterator>
#include <span>
#include <string>

#include "prefs/settingsstore.h"
#include "serial/portname.h"
#include "serial/sourcename.h"
#include "ui/formfont.h"
#include "ui/hints.h"

using navorel::SettingKey;

namespace {

constexpr int kFixedPortEntries = static_cast<int>(std::size(navorel::kPortEntries));
// What the port box shows before anything was chosen.
constexpr const char *kFirstStartPort = "COM1";
const QString kPortHint = QStringLiteral("Select COM port");

bool isNetworkName(const QString &text)
{
    return navorel::SourceName::isNetworkText(text.toStdString());
}

QStringList entryTexts(std::span<const std::string_view> entries)
{
    QStringList texts;
    for (const std::string_view entry : entries)
        texts.append(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    return texts;
}

} // namespace

QStringList systemPortEntries()
{
    QStringList fixedDevices;
    for (int n = 1; n <= kFixedPortEntries; ++n)
        fixedDevices.append(QString::fromStdString(navorel::portDevice("COM" + std::to_string(n))));
    QStringList devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (!fixedDevices.contains(info.systemLocation()))
            devices.append(info.systemLocation());
    }
    devices.sort();
    return devices;
}

Rs232Window::Rs232Window(SettingsStore &settings, QWidget *parent)
        : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_settings(settings)
{
    setObjectName(QStringLiteral("TFormRS232win"));
    setWindowTitle(QStringLiteral("RS-232 Settings"));
    setFixedSize(223, 257);
    setFont(formFont());

    const auto selectorRow = [this](int row, const char *name, std::span<const std::string_view> entries,
                                    const QString &caption, const QString &hint) {
        const int top = 16 + row * 40;
        auto *box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(12, top, 90, 21);
        box->setEditable(true);
        // Typed text is a device name or a number, never a new entry; and no
        // completion, so that the text is exactly what was typed.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        // A text shown without a selection (a typed name, "Port=-1") stays
        // so: leaving the box or pressing Enter must not pick the entry the
        // text happens to match. Picking and typing still select.
        QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
        QObject::disconnect(box->lineEdit(), &QLineEdit::returnPressed, box, nullptr);
        box->addItems(entryTexts(entries));
        setHint(box, hint);
        auto *label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("Label_") + QLatin1String(name).mid(4));
        label->move(120, top + 3);
        setHint(label, hint);
        return box;
    };
    m_cobPort = selectorRow(0, "COB_Port", navorel::kPortEntries, QStringLiteral("serial port"), kPortHint);
    m_cobBaud = selectorRow(1, "COB_Baud", navorel::kBaudEntries, QStringLiteral("baud rate"),
                            QStringLiteral("Select data speed"));
    m_cobData = selectorRow(2, "COB_Data", navorel::kDataEntries, QStringLiteral("data bits"),
                            QStringLiteral("Select data bits per frame"));
    m_cobParity = selectorRow(3, "COB_Parity", navorel::kParityEntries, QStringLiteral("parity"),
                              QStringLiteral("Select kind of parity"));
    m_cobStop = selectorRow(4, "COB_Stop", navorel::kStopEntries, QStringLiteral("stopbit"),
                            QStringLiteral("Select number of stopbits"));

    m_closeRs232win =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Close"), this);
    m_closeRs232win->setObjectName(QStringLiteral("CloseRS232win"));
    m_closeRs232win->setGeometry(120, 216, 90, 25);
    setHint(m_closeRs232win, QStringLiteral("Close RS-232 settings"));

    // At first start the port box shows "COM1" without selecting it.
    m_cobPort->setCurrentIndex(-1);
    m_cobPort->setEditText(QLatin1String(kFirstStartPort));
    for (const SettingKey key :
         {SettingKey::Port, SettingKey::Baud, SettingKey::Data, SettingKey::Parity, SettingKey::Stop}) {
        QComboBox *box = selector(key);
        showValue(key, m_settings.value(key));
        connect(box, &QComboBox::currentIndexChanged, this,
                [this, key](int index) { selectorPicked(key, index); });
        connect(box->lineEdit(), &QLineEdit::textEdited, this,
                [this, key](const QString &text) { selectorTyped(key, text); });
    }
    connect(&m_settings, &SettingsStore::valueChanged, this, &Rs232Window::showValue);
    connect(m_cobPort, &QComboBox::currentTextChanged, this, &Rs232Window::showLineSettingsInUse);
    connect(m_cobPort, &QComboBox::currentTextChanged, this, &Rs232Window::showPortName);
    connect(m_cobPort, &QComboBox::currentTextChanged, this, &Rs232Window::keepPortName);
    connect(&m_settings, &SettingsStore::portNameChanged, this, &Rs232Window::showKeptPortName);
    // A typed name may come before the setting that says no entry is picked.
    connect(&m_settings, &SettingsStore::valueChanged, this, [this](SettingKey key) {
        if (key == SettingKey::Port)
            keepPortName();
    });
    showPortName(m_cobPort->currentText());
    fitPortList();

    // A gpsd that comes or goes changes the list.
    connect(&m_gpsd, &GpsdProbe::answersChanged, this, [this] { refreshSystemPorts(m_systemPorts); });
    connect(m_closeRs232win, &QPushButton::clicked, this, &Rs232Window::CloseRS232winClick);
}

QComboBox *Rs232Window::selector(SettingKey key) const
{
    switch (key) {
    case SettingKey::Port: return m_cobPort;
    case SettingKey::Baud: return m_cobBaud;
    case SettingKey::Data: return m_cobData;
    case SettingKey::Parity: return m_cobParity;
    case SettingKey::Stop: return m_cobStop;
    default: return nullptr;
    }
}

PortSelection Rs232Window::selection() const
{
    // The gpsd entry reads as words; its name is kept beside it.
    const QString name = m_cobPort->currentIndex() >= 0
                                 && m_cobPort->currentText() == m_cobPort->itemText(m_cobPort->currentIndex())
                                 && m_cobPort->currentData().isValid()
                             ? m_cobPort->currentData().toString()
                             : m_cobPort->currentText();
    return {name, m_cobBaud->currentText(), m_cobData->currentText(), m_cobParity->currentIndex(),
            m_cobStop->currentIndex()};
}

// Only the ten "COMn" entries keep their place from one run to the next; a
// port the system reports is stored as no entry, as a typed name is.
int Rs232Window::storedIndex(SettingKey key, int index) const
{
    return key == SettingKey::Port && index >= kFixedPortEntries ? -1 : index;
}

void Rs232Window::selectorPicked(SettingKey key, int index)
{
    m_settings.setValue(key, storedIndex(key, index));
}

// Typed text that equals an entry selects it; any other text selects none,
// so that parity and stop bits then stay as the port has them.
void Rs232Window::selectorTyped(SettingKey key, const QString &text)
{
    QComboBox *box = selector(key);
    const int index = box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index != box->currentIndex()) {
        const int cursor = box->lineEdit()->cursorPosition();
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(index);
        box->setEditText(text);
        box->lineEdit()->setCursorPosition(cursor);
    }
    m_settings.setValue(key, storedIndex(key, index));
}

void Rs232Window::showValue(SettingKey key, int value)
{
    QComboBox *box = selector(key);
    if (box == nullptr)
        return;
    const int entries = key == SettingKey::Port ? kFixedPortEntries : box->count();
    const int wanted = value >= 0 && value < entries ? value : -1;
    if (storedIndex(key, box->currentIndex()) == wanted)
        return;
    // Clearing a selection also clears the text it showed; a typed text
    // without a selection stays.
    if (wanted >= 0 || box->currentIndex() >= 0)
        box->setCurrentIndex(wanted);
}

void Rs232Window::refreshSystemPorts(const QStringList &devices)
{
    m_systemPorts = devices;
    const int index = m_cobPort->currentIndex();
    const QString text = m_cobPort->currentText();
    const QSignalBlocker quiet(m_cobPort);
    while (m_cobPort->count() > kFixedPortEntries)
        m_cobPort->removeItem(m_cobPort->count() - 1);
    m_cobPort->addItems(devices);
    if (m_gpsd.answers())
        m_cobPort->addItem(m_gpsd.entry(), m_gpsd.sourceName());
    fitPortList();
    if (index < kFixedPortEntries) {
        m_cobPort->setCurrentIndex(index);
    } else {
        // A reported port keeps its selection while the system still has it.
        m_cobPort->setCurrentIndex(m_cobPort->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
    m_cobPort->setEditText(text);
}

void Rs232Window::showEvent(QShowEvent *event)
{
    // A receiver plugged in since the last look is offered.
    refreshSystemPorts(systemPortEntries());
    m_gpsd.probe();
    showLineSettingsInUse();
    QDialog::showEvent(event);
}

// Baud rate, bits and parity mean nothing to a network source.
void Rs232Window::showLineSettingsInUse()
{
    const bool serial = !isNetworkName(selection().port);
    for (const SettingKey key : {SettingKey::Baud, SettingKey::Data, SettingKey::Parity, SettingKey::Stop}) {
        QComboBox *box = selector(key);
        box->setEnabled(serial);
        if (QWidget *label = findChild<QWidget *>(QStringLiteral("Label_") + box->objectName().mid(4)))
            label->setEnabled(serial);
    }
}

void Rs232Window::showKeptPortName(const std::string &name)
{
    // The settings file's own choice of a "COMn" entry wins.
    const QString text = QString::fromStdString(name);
    if (!text.isEmpty() && m_cobPort->currentIndex() < 0 && m_cobPort->currentText() != text)
        m_cobPort->setEditText(text);
    keepPortName();
}

// Kept whenever the settings file cannot say it. A file that cannot be
// written costs the name at the next start, no more.
void Rs232Window::keepPortName()
{
    const QString port = selection().port;
    const bool kept = m_settings.value(SettingKey::Port) < 0 && port != QLatin1String(kFirstStartPort);
    m_settings.setPortName(kept ? port.toStdString() : std::string());
}

void Rs232Window::showPortName(const QString &text)
{
    m_cobPort->setToolTip(text.isEmpty() ? splitHint(kPortHint).bubble : text);
}

// The box keeps its width; its list shows every name whole.
void Rs232Window::fitPortList()
{
    int widest = 0;
    for (int i = 0; i < m_cobPort->count(); ++i)
        widest = std::max(widest, m_cobPort->view()->fontMetrics().horizontalAdvance(m_cobPort->itemText(i)));
    const int chrome = 2 * m_cobPort->view()->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                       + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    m_cobPort->view()->setMinimumWidth(std::max(m_cobPort->width(), widest + chrome));
}

void Rs232Window::CloseRS232winClick()
{
    close();
}
