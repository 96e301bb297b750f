# The report is also written by the real executable, as "sw40610 report".
add_dependencies(report_test_report_pdf sw40610)
