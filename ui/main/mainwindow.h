#pragma once

#include "prompter.h"
#include "records.h"

#include <QMainWindow>

// frm_main: the member view and the couple view of the open entry, the button row and the two menus.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // Lays out the window, sets up the member list and the couple grid, shows the window in the member view.
    void start_main();

    void switch_view();
    void expression_member_in_lvw();
    void fill_couple_grid();
    void show_entry_caption();
};
