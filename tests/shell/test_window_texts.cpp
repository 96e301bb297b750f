// Walks every window of the program, as built by the main window, and checks
// what a user and a screen reader get from it: every control a user can act
// on carries an accessible name, after a change to a language that replaces
// every text of the table no window still shows an English one, and in every
// shipped language each caption, label, check box and tab shows its text whole.

#include "editors/Table_Model.h"
#include "editors/Ui_Table_View.h"
#include "foundation/Lang_Strings.h"
#include "localisation/Options_Fakes.h"
#include "shell/TFAbout.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <memory>

using Test_Support::Find;
using Test_Support::Write_File;

namespace {

const QString Probe_Language = QStringLiteral("Probe");

// The text every listed slot gets in the probe language: its number, so a
// failure names the slot that was (or was not) applied.
QString Probe_Text(int Slot) { return QStringLiteral("\u00AB%1\u00BB").arg(Slot); }

// The English default texts of the table, each with the first slot holding it.
QHash<QString, int> English_Defaults()
{
    Lang_Table Table;
    Table.Create_Default_Strings();
    QHash<QString, int> Texts;
    for (int Slot = 0; Slot < Table.Count(); ++Slot) {
        const QString Text = Table[Slot].trimmed();
        if (!Text.isEmpty() && !Texts.contains(Text))
            Texts.insert(Text, Slot);
    }
    return Texts;
}

// Whether the user can bring Widget up: it and its containers are shown,
// except pages of a tab control that wait behind another tab.
bool Is_Reachable(const QWidget* Widget, const QWidget* Window)
{
    for (const QWidget* Part = Widget; Part && Part != Window; Part = Part->parentWidget())
        if (Part->isHidden() && !qobject_cast<const QStackedWidget*>(Part->parentWidget()))
            return false;
    return true;
}

QString Buddy_Text(const QWidget* Widget)
{
    if (const QWidget* Parent = Widget->parentWidget())
        for (const QLabel* Label : Parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (Label->buddy() == Widget)
                return Label->text();
    return {};
}

// The name assistive tools read. Qt's accessibility layer gives a button its
// caption and an edit the text of its buddy label; on this platform it
// reports a pick list's current value as its name, so a pick list is named
// by its own name or its label.
QString Accessible_Name(QWidget* Widget)
{
    if (qobject_cast<QComboBox*>(Widget))
        return Widget->accessibleName().isEmpty() ? Buddy_Text(Widget) : Widget->accessibleName();
    QAccessibleInterface* Interface = QAccessible::queryAccessibleInterface(Widget);
    return Interface ? Interface->text(QAccessible::Name) : QString();
}

// A program folder with (or without) one configuration, the probe language,
// English and enough further languages for three pages of the options
// dialog, and its main window with all the other windows.
struct Fixture {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.path() + "/prog";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;
    Fake_Http_Client Http;
    Fake_Desktop_Shell Desktop;
    std::unique_ptr<TFTavorixFirmWare> Window;

    explicit Fixture(bool With_Configuration = true)
    {
        QDir().mkpath(Exe_Dir + "/PROJECTS/Plant/bin");
        if (With_Configuration)
            Write_File(Exe_Dir + "/Tavorix.xml",
                       "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>");
        QString Probe;
        Lang_Table Table;
        Table.Create_Default_Strings();
        for (int Slot = 0; Slot < Table.Count(); ++Slot)
            if (!Table[Slot].trimmed().isEmpty())
                Probe += Make_Lang_Line(Slot, Probe_Text(Slot)) + QStringLiteral("\r\n");
        Write_File(Exe_Dir + "/LANGUAGE/" + Probe_Language + ".lng", Probe.toUtf8().prepend("\xEF\xBB\xBF"));
        Write_File(Exe_Dir + "/LANGUAGE/English.lng", QByteArray());
        for (int I = 1; I <= 11; ++I)
            Write_File(Exe_Dir + QStringLiteral("/LANGUAGE/Other%1.lng").arg(I, 2, 10, QLatin1Char('0')), QByteArray());

        Platform_Services Services;
        Services.Prompts = &Prompts;
        Services.Http = &Http;
        Services.Desktop = &Desktop;
        Window = std::make_unique<TFTavorixFirmWare>(Space, Services);
        Window->show();
        // The walks look at every window, opened or not.
        Window->Build_Every_Window();
    }

    // The languages the program ships, with their flags, beside the test's own.
    void Add_Shipped_Languages()
    {
        const QDir Shipped(QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"));
        for (const QString& Name : Shipped.entryList({QStringLiteral("*.lng"), QStringLiteral("*.bmp")}, QDir::Files))
            QVERIFY(QFile::copy(Shipped.filePath(Name), Exe_Dir + QStringLiteral("/LANGUAGE/") + Name));
    }

    void Switch_To(const QString& Language)
    {
        Space.Language_Name = Language;
        Space.Init_Language();
        QCOMPARE(Space.Language_Name, Language);
        Window->Change_Language();
    }

    // The main window and every dialog it created.
    QList<QWidget*> Windows() const
    {
        QList<QWidget*> All{Window.get()};
        for (QDialog* Dialog : Window->findChildren<QDialog*>())
            All.append(Dialog);
        return All;
    }

    // Opens and closes every dialog once, without a modal loop, so texts
    // applied when a window is shown are in place; leaves the dialogs hidden.
    void Show_Every_Dialog()
    {
        for (QDialog* Dialog : Window->findChildren<QDialog*>()) {
            Dialog->show();
            QCoreApplication::processEvents();
            // Texts set while showing ask for layouts again: settle them
            // before the places are read, however busy the machine is.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            Dialog->hide();
        }
    }

    // Brings up the controls that show only in some states: the TLS entries
    // of the general parameters, both page buttons of the languages.
    void Show_Conditional_Controls()
    {
        auto* Par_Gen = Window->findChild<QDialog*>("TFParGen");
        QVERIFY(Par_Gen);
        Find<QCheckBox>(Par_Gen, "CB_TLS_Server_Enable")->setChecked(true);
        QVERIFY(Is_Reachable(Find<QPlainTextEdit>(Par_Gen, "E_TLS_Server_Key"), Par_Gen));

        auto* Options = Window->findChild<QDialog*>("TFSoftOptions");
        QVERIFY(Options);
        Find<QPushButton>(Options, "Btn_Next")->click();
        QVERIFY(Is_Reachable(Find<QPushButton>(Options, "Btn_Prev"), Options));
        QVERIFY(Is_Reachable(Find<QPushButton>(Options, "Btn_Next"), Options));
    }

    // Opens the editor of every column of the first row of each table and
    // gives the name of each; the editors stay open.
    QList<std::pair<QString, QString>> Cell_Editor_Names()
    {
        QList<std::pair<QString, QString>> Names;
        for (QDialog* Dialog : Window->findChildren<QDialog*>()) {
            for (Table_View* View : Dialog->findChildren<Table_View*>()) {
                Dialog->show();
                for (int Column = 1; Column < View->model()->columnCount() + 1; ++Column) {
                    // A check box is toggled in place, without an editor.
                    if (View->Model().Kind_Of(Column) == Column_Kind::Data_Check_Box || View->Model().Has_Check(1, Column))
                        continue;
                    View->Edit_Cell(1, Column);
                    if (QWidget* Editor = View->indexWidget(View->model()->index(0, Column - 1)))
                        Names.append({Dialog->objectName() + QStringLiteral("/") + View->objectName()
                                          + QStringLiteral(" editor of column %1").arg(Column),
                                      Accessible_Name(Editor)});
                }
                Dialog->hide();
            }
        }
        return Names;
    }

    // Brings up the texts that appear only after a version check: the main
    // window's notice and the options dialog's answer.
    void Show_Version_Notices()
    {
        Http.Replies.append(QByteArray("Ver. 9.000"));
        Window->Update_Watch.Timer_UpdateTimer();
        QVERIFY(Is_Reachable(Find<QLabel>(Window.get(), "LL_Update"), Window.get()));

        auto* Options = Window->findChild<QDialog*>("TFSoftOptions");
        QVERIFY(Options);
        Options->show();
        Find<QCheckBox>(Options, "CB_En_Con")->setChecked(true);
        Find<QCheckBox>(Options, "CB_Update")->setChecked(true);
        auto* Check = Find<QPushButton>(Options, "Btn_Check_Update");
        QVERIFY(Check->isEnabled());
        QTest::mouseClick(Check, Qt::LeftButton);
        QVERIFY(Is_Reachable(Find<QLabel>(Options, "LL_Check_Update"), Options));
        Options->hide();
    }
};

// Widgets that are parts of another control (the headers and the corner
// button of a table, the arrows of a tab bar, the edit of a pick list): the
// control they belong to carries the name.
bool Is_Inner_Part(const QWidget* Widget, const QWidget* Window)
{
    for (const QWidget* Parent = Widget->parentWidget(); Parent && Parent != Window; Parent = Parent->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(Parent) || qobject_cast<const QComboBox*>(Parent)
            || qobject_cast<const QAbstractSpinBox*>(Parent) || qobject_cast<const QTabBar*>(Parent)
            || qobject_cast<const QPlainTextEdit*>(Parent) || qobject_cast<const QTextEdit*>(Parent))
            return true;
    return false;
}

bool Is_Link_Or_Clickable_Label(const QLabel* Label)
{
    return Label->focusPolicy() != Qt::NoFocus || Label->text().contains(QLatin1String("<a "))
           || (Label->testAttribute(Qt::WA_SetCursor) && Label->cursor().shape() == Qt::PointingHandCursor);
}

// A control a user can act on: buttons, check boxes, edits and text boxes,
// pick lists, list boxes and tables, and labels that react to a click.
bool Is_Interactive(const QWidget* Widget, const QWidget* Window)
{
    // A hidden control is out of everyone's reach; the fixture brings up the
    // controls that show only in some states.
    if (!Is_Reachable(Widget, Window) || Is_Inner_Part(Widget, Window))
        return false;
    if (const auto* Label = qobject_cast<const QLabel*>(Widget))
        return Is_Link_Or_Clickable_Label(Label);
    return qobject_cast<const QAbstractButton*>(Widget) || qobject_cast<const QLineEdit*>(Widget)
           || qobject_cast<const QPlainTextEdit*>(Widget) || qobject_cast<const QTextEdit*>(Widget)
           || qobject_cast<const QComboBox*>(Widget) || qobject_cast<const QAbstractSpinBox*>(Widget)
           || qobject_cast<const QAbstractItemView*>(Widget);
}

QString Plain(const QString& Text)
{
    if (!Qt::mightBeRichText(Text))
        return Text;
    QTextDocument Document;
    Document.setHtml(Text);
    return Document.toPlainText();
}

QString Describe(const QWidget* Widget, const QWidget* Window)
{
    const QString Name = Widget->objectName().isEmpty() ? QStringLiteral("(unnamed)") : Widget->objectName();
    return Window->objectName() + QLatin1Char('/') + Name + QStringLiteral(" (")
           + QString::fromLatin1(Widget->metaObject()->className()) + QLatin1Char(')');
}

// Every text a widget shows or tells: caption, label, hints, names, items,
// tab and column headings.
QList<std::pair<QString, QString>> Texts_Of(QWidget* Widget)
{
    QList<std::pair<QString, QString>> Texts{
        {QStringLiteral("hint"), Widget->toolTip()},
        {QStringLiteral("accessible name"), Widget->accessibleName()},
        {QStringLiteral("accessible description"), Widget->accessibleDescription()},
        {QStringLiteral("status tip"), Widget->statusTip()},
    };
    if (QAccessibleInterface* Interface = QAccessible::queryAccessibleInterface(Widget))
        Texts.append({QStringLiteral("name read by assistive tools"), Interface->text(QAccessible::Name)});
    if (Widget->isWindow())
        Texts.append({QStringLiteral("window caption"), Widget->windowTitle()});
    if (const auto* Label = qobject_cast<const QLabel*>(Widget))
        Texts.append({QStringLiteral("text"), Plain(Label->text())});
    if (const auto* Button = qobject_cast<const QAbstractButton*>(Widget))
        Texts.append({QStringLiteral("caption"), Button->text()});
    if (const auto* Edit = qobject_cast<const QLineEdit*>(Widget)) {
        Texts.append({QStringLiteral("text"), Edit->text()});
        Texts.append({QStringLiteral("placeholder"), Edit->placeholderText()});
    }
    if (const auto* Box = qobject_cast<const QPlainTextEdit*>(Widget))
        Texts.append({QStringLiteral("placeholder"), Box->placeholderText()});
    if (const auto* Group = qobject_cast<const QGroupBox*>(Widget))
        Texts.append({QStringLiteral("title"), Group->title()});
    if (const auto* Combo = qobject_cast<const QComboBox*>(Widget))
        for (int I = 0; I < Combo->count(); ++I)
            Texts.append({QStringLiteral("item %1").arg(I), Combo->itemText(I)});
    if (const auto* Tabs = qobject_cast<const QTabWidget*>(Widget))
        for (int I = 0; I < Tabs->count(); ++I) {
            Texts.append({QStringLiteral("tab %1").arg(I), Tabs->tabText(I)});
            Texts.append({QStringLiteral("tab hint %1").arg(I), Tabs->tabToolTip(I)});
        }
    const auto* View = qobject_cast<const QAbstractItemView*>(Widget);
    if (View && !qobject_cast<const QHeaderView*>(Widget) && View->model()) {
        const QAbstractItemModel* Model = View->model();
        for (int Column = 0; Column < Model->columnCount(); ++Column)
            for (int Role : {int(Qt::DisplayRole), int(Qt::ToolTipRole)})
                Texts.append({QStringLiteral("column %1 heading").arg(Column),
                              Model->headerData(Column, Qt::Horizontal, Role).toString()});
        for (int Row = 0; Row < Model->rowCount(); ++Row)
            for (int Column = 0; Column < Model->columnCount(); ++Column)
                Texts.append({QStringLiteral("cell %1,%2").arg(Row).arg(Column),
                              Model->index(Row, Column).data().toString()});
    }
    return Texts;
}

// How much a control lacks to show its text whole, or an empty text when it
// shows it whole. Measured with the control's own font against the room the
// style leaves for the text.
QString Shortfall(QWidget* Widget)
{
    const QFontMetrics Metrics = Widget->fontMetrics();
    QStyle* Look = Widget->style();
    const auto Lacks = [](int Need, int Has) {
        return Need > Has ? QStringLiteral("needs %1 px, has %2").arg(Need).arg(Has) : QString();
    };
    if (auto* Button = qobject_cast<QPushButton*>(Widget)) {
        if (Button->text().isEmpty())
            return {};
        QStyleOptionButton Option;
        Option.initFrom(Button);
        Option.text = Button->text();
        Option.icon = Button->icon();
        Option.iconSize = Button->iconSize();
        if (Button->autoDefault() || Button->isDefault())
            Option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect Room = Look->subElementRect(QStyle::SE_PushButtonContents, &Option, Button);
        int Need = Metrics.size(Qt::TextShowMnemonic, Button->text()).width()
                   + Look->pixelMetric(QStyle::PM_ButtonMargin, &Option, Button);
        if (!Button->icon().isNull())
            Need += Button->iconSize().width() + 4;
        return Lacks(Need, Room.width());
    }
    if (qobject_cast<QCheckBox*>(Widget) || qobject_cast<QToolButton*>(Widget)) {
        if (static_cast<QAbstractButton*>(Widget)->text().isEmpty())
            return {};
        return Lacks(Widget->sizeHint().width(), Widget->width());
    }
    if (auto* Label = qobject_cast<QLabel*>(Widget)) {
        if (Label->text().isEmpty())
            return {};
        if (!Label->wordWrap()) {
            const QSize Need = Label->sizeHint();
            QString Short = Lacks(Need.width(), Label->width());
            return Short.isEmpty() ? Lacks(Need.height(), Label->height()) : Short;
        }
        // A wrapped text needs its height, and no single word may be wider than the label.
        const int Room = Label->contentsRect().width() - 2 * Label->margin();
        for (const QString& Word : Plain(Label->text()).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            if (Metrics.horizontalAdvance(Word) > Room)
                return QStringLiteral("word \"%1\" ").arg(Word) + Lacks(Metrics.horizontalAdvance(Word), Room);
        return Lacks(Label->heightForWidth(Label->width()), Label->height());
    }
    if (auto* Combo = qobject_cast<QComboBox*>(Widget)) {
        QStyleOptionComboBox Option;
        Option.initFrom(Combo);
        Option.editable = Combo->isEditable();
        Option.frame = Combo->hasFrame();
        const int Room = Look->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxEditField, Combo).width();
        for (int I = 0; I < Combo->count(); ++I) {
            const QString Short = Lacks(Metrics.horizontalAdvance(Combo->itemText(I)) + 4, Room);
            if (!Short.isEmpty())
                return QStringLiteral("item \"%1\" ").arg(Combo->itemText(I)) + Short;
        }
        return {};
    }
    if (auto* Tabs = qobject_cast<QTabWidget*>(Widget))
        return Lacks(Tabs->tabBar()->sizeHint().width(), Tabs->width());
    return {};
}

QString Shown_Text(QWidget* Widget)
{
    if (auto* Label = qobject_cast<QLabel*>(Widget))
        return Plain(Label->text());
    if (auto* Button = qobject_cast<QAbstractButton*>(Widget))
        return Button->text();
    QStringList All;
    if (auto* Tabs = qobject_cast<QTabWidget*>(Widget))
        for (int I = 0; I < Tabs->count(); ++I)
            All << Tabs->tabText(I);
    if (auto* Combo = qobject_cast<QComboBox*>(Widget))
        for (int I = 0; I < Combo->count(); ++I)
            All << Combo->itemText(I);
    return All.join(QStringLiteral(" | "));
}

QStringList Shipped_Languages()
{
    QStringList Names = QDir(QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE")).entryList({QStringLiteral("*.lng")}, QDir::Files);
    for (QString& Name : Names)
        Name.chop(4);
    return Names;
}

} // namespace

class Test_Window_Texts : public QObject {
    Q_OBJECT
private slots:
    void Every_Control_Is_Named_data();
    void Every_Control_Is_Named();
    void No_English_Text_Left_After_Language_Change_data();
    void No_English_Text_Left_After_Language_Change();
    void Every_Text_Fits_data();
    void Every_Text_Fits();
    void Controls_Return_To_Their_Layout();
    void Find_Gateways_Headings_Are_Whole_data();
    void Find_Gateways_Headings_Are_Whole();
};

void Test_Window_Texts::Every_Control_Is_Named_data()
{
    QTest::addColumn<QString>("Language");
    QTest::newRow("English") << QStringLiteral("English");
    QTest::newRow("after a language change") << Probe_Language;
}

void Test_Window_Texts::Every_Control_Is_Named()
{
    QFETCH(QString, Language);
    Fixture F;
    if (Language != QLatin1String("English"))
        F.Switch_To(Language);
    F.Show_Every_Dialog();
    F.Show_Version_Notices();
    F.Show_Conditional_Controls();
    if (QTest::currentTestFailed())
        return;

    QStringList Unnamed;
    QStringList Without_Controls;
    for (QWidget* Window : F.Windows()) {
        bool Reached = false;
        for (QWidget* Widget : Window->findChildren<QWidget*>()) {
            if (Widget->window() != Window || !Is_Interactive(Widget, Window))
                continue;
            Reached = true;
            if (Accessible_Name(Widget).trimmed().isEmpty())
                Unnamed << Describe(Widget, Window);
        }
        if (!Reached)
            Without_Controls << Window->objectName();
    }
    QCOMPARE(Without_Controls, QStringList());
    const auto Editors = F.Cell_Editor_Names();
    QVERIFY(!Editors.isEmpty());
    for (const auto& [Editor, Name] : Editors)
        if (Name.trimmed().isEmpty())
            Unnamed << Editor;
    QVERIFY2(Unnamed.isEmpty(), qPrintable(QStringLiteral("controls without a name:\n") + Unnamed.join('\n')));
}

void Test_Window_Texts::No_English_Text_Left_After_Language_Change_data()
{
    QTest::addColumn<bool>("With_Configuration");
    QTest::newRow("configuration open") << true;
    QTest::newRow("no configuration") << false;
}

void Test_Window_Texts::No_English_Text_Left_After_Language_Change()
{
    QFETCH(bool, With_Configuration);
    Fixture F(With_Configuration);
    QCOMPARE(F.Space.Is_Project_Active(), With_Configuration);
    // The version notices are up before the change: they must follow it too.
    F.Show_Version_Notices();
    F.Show_Conditional_Controls();
    F.Switch_To(Probe_Language);
    F.Show_Every_Dialog();
    if (QTest::currentTestFailed())
        return;

    const QHash<QString, int> English = English_Defaults();
    QStringList Left;
    for (QWidget* Window : F.Windows()) {
        // The About dialog's texts are fixed, the same in every language.
        if (qobject_cast<TFAbout*>(Window))
            continue;
        QList<QWidget*> Widgets{Window};
        Widgets += Window->findChildren<QWidget*>();
        for (QWidget* Widget : Widgets) {
            if (Widget->window() != Window)
                continue;
            for (const auto& [What, Text] : Texts_Of(Widget)) {
                const auto Found = English.constFind(Text.trimmed());
                if (Found != English.constEnd())
                    Left << QStringLiteral("%1 %2 \"%3\" (slot %4)")
                                .arg(Describe(Widget, Window), What, Text)
                                .arg(Found.value());
            }
        }
    }
    for (const auto& [Editor, Name] : F.Cell_Editor_Names())
        if (English.contains(Name.trimmed()))
            Left << Editor + QStringLiteral(" \"") + Name + QStringLiteral("\"");
    QVERIFY2(Left.isEmpty(), qPrintable(QStringLiteral("English texts left:\n") + Left.join('\n')));

    // The probe texts did arrive: the walk looks at applied texts, not at empty controls.
    QCOMPARE(Find<QPushButton>(F.Window.get(), "Btn_Prm_Gen")->text(), Probe_Text(20));
    QCOMPARE(F.Window->findChild<QDialog*>("TFBoot")->windowTitle(), Probe_Text(1002));
}

void Test_Window_Texts::Every_Text_Fits_data()
{
    QTest::addColumn<QString>("Language");
    QTest::addColumn<bool>("With_Configuration");
    QTest::addColumn<int>("Larger_Font");
    QStringList Languages = Shipped_Languages();
    QVERIFY(!Languages.isEmpty());
    Languages.prepend(QStringLiteral("English"));
    // One point more than the platform's font stands for the wider fonts of
    // other desktops and makes the controls grow here too.
    for (const QString& Language : Languages)
        for (int Larger : {0, 1})
            for (bool With_Configuration : {true, false})
                QTest::newRow(QStringLiteral("%1%2%3")
                                  .arg(Language, Larger ? QStringLiteral(", larger font") : QString(),
                                       With_Configuration ? QString() : QStringLiteral(", no configuration"))
                                  .toUtf8()
                                  .constData())
                    << Language << With_Configuration << Larger;
}

// The controls are measured as the user meets them: every dialog shown once,
// the version notices up and the controls of other states brought up.
void Test_Window_Texts::Every_Text_Fits()
{
    QFETCH(QString, Language);
    QFETCH(bool, With_Configuration);
    QFETCH(int, Larger_Font);
    const QFont Platform_Font = QApplication::font();
    const auto Restore_Font = qScopeGuard([&] { QApplication::setFont(Platform_Font); });
    QFont Font = Platform_Font;
    Font.setPointSize(Font.pointSize() + Larger_Font);
    QApplication::setFont(Font);
    Fixture F(With_Configuration);
    F.Add_Shipped_Languages();
    F.Show_Version_Notices();
    F.Show_Conditional_Controls();
    F.Switch_To(Language);
    F.Show_Every_Dialog();
    if (QTest::currentTestFailed())
        return;

    QStringList Cut;
    for (QWidget* Window : F.Windows()) {
        QList<QWidget*> Texts;
        for (QWidget* Widget : Window->findChildren<QWidget*>()) {
            if (Widget->window() != Window || !Is_Reachable(Widget, Window) || Is_Inner_Part(Widget, Window))
                continue;
            if (Shown_Text(Widget).isEmpty())
                continue;
            Texts << Widget;
            const QString Short = Shortfall(Widget);
            if (!Short.isEmpty())
                Cut << QStringLiteral("%1 \"%2\": %3").arg(Describe(Widget, Window), Shown_Text(Widget), Short);
            // A control that grew past its container is cut by it.
            if (!Widget->isWindow() && !Widget->parentWidget()->rect().contains(Widget->geometry()))
                Cut << Describe(Widget, Window) + QStringLiteral(" reaches outside ") + Widget->parentWidget()->objectName();
        }
        // Nor may a grown control run into another one.
        for (qsizetype I = 0; I < Texts.size(); ++I)
            for (qsizetype J = I + 1; J < Texts.size(); ++J)
                if (Texts[I]->parentWidget() == Texts[J]->parentWidget()
                    && Texts[I]->geometry().intersects(Texts[J]->geometry()))
                    Cut << Describe(Texts[I], Window) + QStringLiteral(" overlaps ") + Texts[J]->objectName();
    }
    QVERIFY2(Cut.isEmpty(), qPrintable(QStringLiteral("texts cut off:\n") + Cut.join('\n')));
}

void Test_Window_Texts::Find_Gateways_Headings_Are_Whole_data()
{
    QTest::addColumn<QString>("Language");
    QTest::newRow("English") << QStringLiteral("English");
    for (const QString& Language : Shipped_Languages())
        QTest::newRow(Language.toUtf8().constData()) << Language;
}

// Before any search fills the table, each heading has the room it asks for.
void Test_Window_Texts::Find_Gateways_Headings_Are_Whole()
{
    QFETCH(QString, Language);
    Fixture F(false);
    F.Add_Shipped_Languages();
    F.Switch_To(Language);
    F.Show_Every_Dialog();
    auto* Table = F.Window->findChild<QTableWidget*>(QStringLiteral("TW_Devices"));
    QVERIFY(Table);
    const QHeaderView* Header = Table->horizontalHeader();
    QStringList Cut;
    for (int Column = 0; Column < Table->columnCount(); ++Column)
        if (Header->sectionSize(Column) < Header->sectionSizeHint(Column))
            Cut << QStringLiteral("%1 (%2 < %3)")
                       .arg(Table->horizontalHeaderItem(Column)->text())
                       .arg(Header->sectionSize(Column))
                       .arg(Header->sectionSizeHint(Column));
    QCOMPARE(Cut, QStringList());
}

// Grown for a longer text, a control takes its laid-out place and size again
// when the texts are short enough once more.
void Test_Window_Texts::Controls_Return_To_Their_Layout()
{
    const QFont Platform_Font = QApplication::font();
    const auto Restore_Font = qScopeGuard([&] { QApplication::setFont(Platform_Font); });
    QFont Font = Platform_Font;
    Font.setPointSize(Font.pointSize() + 1);
    QApplication::setFont(Font);
    Fixture F;
    F.Add_Shipped_Languages();
    F.Show_Every_Dialog();
    const auto Places = [&F] {
        QHash<QWidget*, QRect> All;
        for (QWidget* Window : F.Windows()) {
            All.insert(Window, QRect(QPoint(), Window->size()));
            for (QWidget* Widget : Window->findChildren<QWidget*>())
                if (!Is_Inner_Part(Widget, Window))
                    All.insert(Widget, Widget->geometry());
        }
        return All;
    };
    const QHash<QWidget*, QRect> English = Places();
    bool Grown = false;
    for (const QString& Language : Shipped_Languages()) {
        F.Switch_To(Language);
        F.Show_Every_Dialog();
        Grown = Grown || Places() != English;
    }
    QVERIFY2(Grown, "no control grew in any shipped language");
    F.Switch_To(QStringLiteral("English"));
    F.Show_Every_Dialog();
    const QHash<QWidget*, QRect> Again = Places();
    QStringList Moved;
    for (auto It = English.cbegin(); It != English.cend(); ++It)
        if (Again.value(It.key()) != It.value())
            Moved << Describe(It.key(), It.key()->window());
    QVERIFY2(Moved.isEmpty(), qPrintable(QStringLiteral("not back in place:\n") + Moved.join('\n')));
}

QTEST_MAIN(Test_Window_Texts)
#include "test_window_texts.moc"
