#pragma once

#include "merge/MergeRun.h"
#include "model/ProgramFolder.h"

#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CardPreview;
class CardSession;
class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// The batch window: one card per row of a table, from the card on the page.
// It shows which column fills which text and the card of each row, and makes
// a print-shop PDF, A4 sheets or card files in a category of the card library,
// off the interface thread behind a progress dialog that can cancel.
class BatchWindow : public QWidget
{
    Q_OBJECT
public:
    enum Output { CardPdf = 0, Sheets = 1, CardFiles = 2 };

    BatchWindow(const ProgramFolder &folder, const CardSession &session, Dialogs &dialogs, QWidget *parent = nullptr);
    ~BatchWindow() override;

    // Where the PDF's file name comes from; tests give their own answer.
    std::function<QString()> choosePdf;

    // Reads a table and shows its columns and first row.
    void openTable(const QString &path);
    // Shows row index (from 0) of the table on the preview.
    void showRow(int index);
    // Starts making the cards; the result is reported when the work ends.
    void start();
    // Cancels a run in progress.
    void cancel();

    QTableWidget *columnTable() const { return m_columns; }
    QLabel *rowLabel() const { return m_rowLabel; }
    QRadioButton *outputOption(int index) const { return m_outputs[std::size_t(index)]; }
    QComboBox *categoryList() const { return m_categories; }
    QPushButton *startButton() const { return m_start; }
    QSpinBox *acrossBox() const { return m_across; }
    QSpinBox *downBox() const { return m_down; }
    QCheckBox *trimBox() const { return m_trim; }
    // The card of the row shown, drawn at ratio device pixels a screen pixel;
    // null while no card is shown.
    QImage previewImage(qreal ratio = 1) const;

signals:
    // Card files were added to a category of the card library.
    void cardsMade();
    // A run ended, whatever its outcome.
    void finished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTableArea();
    void buildPreview();
    void buildOutputArea();
    void fillCategories(const QString &select = {});
    void createCategory();
    void showColumns();
    void showUnfitRows();
    void limitSheets();
    void updateStart();
    QString outputTarget();
    void onProgress(MergeRun::Progress progress);
    void onFinished(const MergeRun::Result &result, const QString &target);

    ProgramFolder m_folder;
    const CardSession &m_session;
    Dialogs &m_dialogs;
    MergeRun::Settings m_settings;
    MergeRun::Table m_table;
    std::vector<Csv::Record> m_rows;
    int m_row = 0;

    QString m_tableFile;  // the table's path, empty before one is read
    QLabel *m_tablePath = nullptr;
    QTableWidget *m_columns = nullptr;
    QLabel *m_faults = nullptr;
    CardPreview *m_preview = nullptr;
    QLabel *m_rowLabel = nullptr;
    std::array<QPushButton *, 2> m_arrows{};
    std::array<QRadioButton *, 3> m_outputs{};
    QSpinBox *m_across = nullptr;
    QSpinBox *m_down = nullptr;
    QCheckBox *m_trim = nullptr;
    QComboBox *m_categories = nullptr;
    QPushButton *m_start = nullptr;
    QProgressDialog *m_progress = nullptr;

    std::unique_ptr<MergeOutput> m_output;
    std::unique_ptr<std::thread> m_worker;
    std::atomic_bool m_cancel = false;
};
