#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <expected>

// One transfer the parameter file asks for, with its file already read.
struct Update_Operation {
    QString File_Name;
    QByteArray Data;
    QHostAddress Device;
    quint16 Port = 0;
    quint32 Start_Address = 0;
    quint8 Bank_Type = 0;
    quint8 Memory_Type = 0;
    bool Erase = false;
    bool Read_Back = false;
    bool Go_To_App_After = false;
};

struct Update_Plan {
    QString Title;
    QHostAddress Device;
    QList<Update_Operation> Operations;
};

// Reads the parameter file, checks every element the updater uses and reads
// every file it names, so that nothing is sent unless all of it is usable.
// The error names the file, the operation and the element at fault.
std::expected<Update_Plan, QString> Read_Update_Plan(const QString& Parameter_File);
