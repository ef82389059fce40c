#pragma once

#include <QColor>
#include <QDialog>

#include <memory>

class MBrush;
class MConnector;
class MCurve;
class Ui_DCurveEditor;

// Adds, removes and shapes the input curves of one brush setting on a
// working copy of the brush; Ok (or Save at the closing question) copies
// the work back into the brush that was passed in.
class DCurveEditor : public QDialog
{
    Q_OBJECT
public:
    DCurveEditor(MBrush *brush, int setting, QWidget *parent = nullptr);
    ~DCurveEditor() override;

    // Whether the passed brush may have changed: read by the caller after exec.
    bool modified() const { return m_modified; }
    MBrush *workingBrush() const { return m_brush.get(); }
    // The curve of the setting and the current row's input, if it has one.
    MCurve *currentCurve() const;

public slots:
    // Every way out but Ok comes here: with changes the painter is asked.
    void reject() override;

private slots:
    void selectInput(int row);
    void on_addCurveBtn_clicked();
    void on_removeCurveBtn_clicked();
    void on_btnAddPoint_clicked();
    void on_btnRemovePoint_clicked();
    void on_btnReset_clicked();
    void on_invertXBtn_clicked();
    void on_invertYBtn_clicked();
    void on_okBtn_clicked();
    void onInitTypeChosen(int index);
    void onFormulaActivated(int index);
    void setYMin(double value);
    void setYMax(double value);
    void setModulo(double value);

private:
    void connectSignals();
    void refreshPanel();
    void fillEditors(const MCurve *curve);
    int currentInput() const;
    void copyBack();

    std::unique_ptr<Ui_DCurveEditor> ui;
    std::unique_ptr<MBrush> m_brush;
    MBrush *m_libraryBrush;
    int m_setting;
    QColor m_highlight{255, 220, 200};
    bool m_modified = false;
    MConnector *m_connector;
};
