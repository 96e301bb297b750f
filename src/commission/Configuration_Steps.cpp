#include "commission/Configuration_Steps.h"

#include "checks/Project_Checks.h"
#include "foundation/Workspace.h"
#include "image/Configuration_Image.h"
#include "platform/Process_Runner.h"
#include "platform/Xml_File.h"
#include "update/Start_Program.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QFileInfo>

namespace Commission {

namespace {

constexpr int Configuration_Only = 2;

Workspace Configuration_Space(const Workspace& Space, const QString& Dir)
{
    Workspace Config = Space;
    Config.Project_Dir = Dir;
    Config.Project_Name = QFileInfo(Dir).fileName();
    Config.Set_Files();
    return Config;
}

} // namespace

Configuration_Steps Real_Configuration_Steps(const Workspace& Space, Decimal_Separator& Separator,
                                             Process_Runner& Runner, Clock& Time)
{
    Configuration_Steps Steps;
    Steps.Compile = [&Space, &Separator](const QString& Dir) -> std::expected<Compiled_Banks, QString> {
        const Workspace Config = Configuration_Space(Space, Dir);
        try {
            const QList<Checks::Finding> Findings = Checks::Check_Configuration(Config, Separator);
            if (const auto First = Checks::First_Error(Findings))
                return std::unexpected(First->Text);
            Configuration_Image Image(Config, &Separator);
            if (const auto Compiled = Compile_And_Save_Banks(Image, Config); !Compiled)
                return std::unexpected(Compiled.error().Text);
            return Compiled_Banks{Image.Bank1_Path(), Image.Bank2_Path()};
        } catch (const Xml_Parse_Error& E) {
            return std::unexpected(E.Message());
        } catch (const std::runtime_error& E) {
            return std::unexpected(QString::fromStdString(E.what()));
        }
    };
    Steps.Update = [&Space, &Runner, &Time](const QString& Dir, const Ipv4_Address& Address) -> std::expected<void, QString> {
        try {
            Xml_File Doc;
            Write_Update_Parameters(Doc, Update_Choice{Address.Text(), Configuration_Only, Space.Update_Read_Back},
                                    Update_Sources{Space.Master_Dir, Dir}, Space.Exe_Dir);
        } catch (const Update_File_Error& E) {
            return std::unexpected(QString::fromStdString(E.what()));
        }
        const QString Program = Updater_Program(Space.Exe_Dir);
        switch (Start_Program(Runner, Time, Program, QString(), 1)) {
        case Start_Program_Outcome::Not_Started:
            return std::unexpected(QStringLiteral("the updater %1 could not be started").arg(QDir::toNativeSeparators(Program)));
        case Start_Program_Outcome::Timed_Out:
            return std::unexpected(QStringLiteral("the updater still runs after %1 s").arg(Start_Program_Limit_Ms / 1000));
        case Start_Program_Outcome::Ended: break;
        }
        if (const qint64 Code = Runner.Exit_Code(); Code != 0)
            return std::unexpected(QStringLiteral("the updater ended with code %1").arg(Code));
        return {};
    };
    return Steps;
}

} // namespace Commission
