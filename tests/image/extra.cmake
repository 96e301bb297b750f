# The bank-pair test starts the real executable, many at once.
add_dependencies(image_test_bank_pair sw40610)
