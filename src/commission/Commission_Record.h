#pragma once

#include "commission/Commission_Run.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <expected>
#include <functional>

class Lang_Table;

// The commissioning record the engineer and the customer sign: what was
// done to each gateway of the list, and when.
namespace Commission {

struct Record_Row {
    QString Mac;
    QString Station_Name;
    QString Address;
    QString Configuration;
    QString Bank1_Sha256; // when its banks went to the updater
    QString Bank2_Sha256;
    Gateway_State State = Gateway_State::Pending;
    QString Text;
    QDateTime Time;
};

struct Record {
    QString List_Name;
    QDateTime Date;
    QString Interface;
    QList<Record_Row> Rows;
};

Record Make_Record(const Plant_List& List, const Run_Settings& Settings, const Run_Report& Report);

// Draws the record into the PDF file Path; the reason when it cannot be written.
using Record_Writer = std::function<std::expected<void, QString>(const Record& Rec, const QString& Path)>;

} // namespace Commission
