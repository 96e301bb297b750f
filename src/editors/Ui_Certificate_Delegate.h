#pragma once

#include "editors/Ui_Table_Delegate.h"

#include <QDate>
#include <QHash>

// The certificate cells of the known-certificates table: each shows what its
// certificate is (subject and expiry) rather than the start of its PEM text,
// a cell that holds no single valid certificate is shown in the warning
// colour, and the tooltip gives the details. Editing is the table's own.
class Certificate_Delegate : public Table_Delegate {
    Q_OBJECT
public:
    Certificate_Delegate(Table_Model& Model, const Workspace& Space, QObject* Parent = nullptr);

    struct Look {
        QString Summary;  // the line shown in the cell; empty for an empty cell
        QString Details;  // the tooltip
        bool Marked = false;
    };
    // How a certificate text is shown now.
    Look Look_Of(const QString& Text) const;

    bool helpEvent(QHelpEvent* Event, QAbstractItemView* View, const QStyleOptionViewItem& Option,
                   const QModelIndex& Index) override;

protected:
    void Dress_Cell(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;

private:
    const Workspace& Space;
    // Texts already read, so painting does not parse each certificate again.
    mutable QHash<QString, Look> Seen;
    mutable QDate Seen_On;
};
