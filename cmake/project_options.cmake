# Options shared by every target of ours (not by third-party code such as
# GoogleTest built from source).
#
# The program's own texts are GBK bytes: sources stay readable UTF-8 and the
# compiler writes string literals in GBK. Resource scripts get none of this.
set(QH_CXX_OPTIONS
  -Wall -Wextra -Wpedantic -Werror
  # GCC 12 reports impossible overlaps for "literal" + std::string at -O2
  # (GCC bug 105651).
  -Wno-restrict
  -finput-charset=UTF-8 -fexec-charset=GBK)

function(qh_target_options target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${QH_CXX_OPTIONS}>")
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
