# The tests of the Windows build (included by tests/CMakeLists.txt when cross-building for Windows). Not here:
# tst_cp932table, which checks the code page tables against ICU itself (the Windows Qt has none; tst_encoding and
# tst_datafiles check the bytes written on Windows).
set(windows_core_tests
    tst_backnumber tst_coupleedit tst_couplegrid tst_datafiles tst_datafolder tst_deletion
    tst_encoding tst_entrycheck tst_gamenames tst_membertext tst_platform tst_records tst_roster tst_toggling
    tst_undohistory tst_vocabulary tst_yearadvance)
foreach(test ${windows_core_tests})
    danceentry_add_test(${test} core danceentry_core)
endforeach()

set(windows_gui_tests
    tst_coupleeditor tst_coupleview tst_entrydialog tst_gamenameseditor tst_helpmenu tst_mainwindow
    tst_memberimportdialog tst_membereditor tst_memberview tst_startup tst_typicaluse tst_usability)
foreach(test ${windows_gui_tests})
    danceentry_add_test(${test} gui danceentry_ui)
endforeach()
target_link_libraries(tst_helpmenu PRIVATE danceentry_version)

danceentry_add_test(tst_printout print danceentry_print)

danceentry_add_test(tst_toolprogram tool danceentry_toollib)
target_compile_definitions(tst_toolprogram PRIVATE DANCEENTRY_TOOL="$<TARGET_FILE:danceentry-tool>")
add_dependencies(tst_toolprogram danceentry-tool)
