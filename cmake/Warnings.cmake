# Warnings on our own code; third-party headers come in as system includes. They are errors only
# with KELVANE_WERROR (the developer and CI presets turn it on), so that a newer compiler's new
# warnings, or a false one in an optimised build, do not stop a user's build.
option(KELVANE_WERROR "Treat warnings in our own code as errors" OFF)
function(kelvane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(KELVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
