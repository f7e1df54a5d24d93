# The one place that holds the program's version information. On Windows it becomes a
# version resource; elsewhere the same values are compiled in (app/core/Version.cpp).
set(KELVANE_FILE_VERSION_NUMBERS 1,0,0,1)
set(KELVANE_PRODUCT_VERSION_NUMBERS 1,0,0,1)
set(KELVANE_FILE_VERSION "1.0.0.1")
set(KELVANE_PRODUCT_VERSION "1.0.0.0")
set(KELVANE_FILE_DESCRIPTION "Kelvane QV-725 control software")
set(KELVANE_PRODUCT_NAME "QV-725")
set(KELVANE_INTERNAL_NAME "QV-725")
set(KELVANE_LEGAL_TRADEMARKS "Kelvane")
set(KELVANE_TRANSLATION "040904E4")
