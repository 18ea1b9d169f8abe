# The race needs nothing but a compiler; every other part is built when what it needs is there.
# hexrace_optional(<found> <part> <package>) leaves <part> out with one line naming the Debian
# package that turns it on, or stops the configuration where HEXRACE_REQUIRE_ALL is set (the test
# presets), so that a test run never passes with fewer tests than it should have.
function(hexrace_optional found part package)
  if(${found})
    return()
  endif()
  if(HEXRACE_REQUIRE_ALL)
    message(FATAL_ERROR "${part} needs the Debian package ${package}; scripts/test.sh installs "
                        "what the tests need")
  endif()
  message(STATUS "${part}: left out (install ${package} to build it)")
endfunction()
