# Writes OUT, GNU assembly: for every function the import library
# IMPORT_LIBRARY provides (nm's "T" symbols), the pointer __imp_<symbol>,
# zero until filled, and the stub <symbol> that jumps through it; the table
# of {name for GetProcAddress, pointer}, ending in {0, 0}; and a constructor
# that fills it at start-up, before any code of the program runs:
# tavelo_fill_imports("NAME.dll", table) (LibrarySearch_win32.cpp). The
# constructor has priority 101, the first a program may take (section
# .ctors.65434, as GCC names it): the runtime runs those before every
# constructor of default priority, whatever the link order, so no static
# initialiser of ours can call a function whose table is still empty.
# UNDERSCORE: the 32-bit build, whose C names carry a leading underscore
# and stdcall ones their "@n". POINTER: the size of a pointer. Run by
# tavelo_system_import.
execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
if(POINTER EQUAL 8)
  set(word ".quad")
  set(jump "jmp *__imp_\\1(%rip)")
  # The Windows x64 convention: arguments in rcx and rdx, 32 bytes of home space.
  set(fill "  sub $40, %rsp\n  lea dll(%rip), %rcx\n  lea table(%rip), %rdx\n  call tavelo_fill_imports\n  add $40, %rsp\n  ret")
else()
  set(word ".long")
  set(jump "jmp *__imp_\\1")
  set(fill "  push $table\n  push $dll\n  call _tavelo_fill_imports\n  add $8, %esp\n  ret")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(pointers "")
set(stubs "")
set(names "")
set(table "")
set(index 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[0-9a-fA-F]+ T (.+)$")
    continue()
  endif()
  set(symbol "${CMAKE_MATCH_1}")
  set(exported "${symbol}")
  if(UNDERSCORE)
    string(REGEX REPLACE "^_" "" exported "${exported}")
    string(REGEX REPLACE "@[0-9]+$" "" exported "${exported}")
  endif()
  string(APPEND pointers "  .globl __imp_${symbol}\n__imp_${symbol}: ${word} 0\n")
  string(REGEX REPLACE "^(.+)$" "${jump}" through "${symbol}")
  string(APPEND stubs "  .globl ${symbol}\n${symbol}: ${through}\n")
  string(APPEND names "name_${index}: .asciz \"${exported}\"\n")
  string(APPEND table "  ${word} name_${index}, __imp_${symbol}\n")
  math(EXPR index "${index} + 1")
endforeach()
if(index EQUAL 0)
  message(FATAL_ERROR "no functions in ${IMPORT_LIBRARY}")
endif()
file(WRITE ${OUT} "/* Generated from ${IMPORT_LIBRARY}: ${index} functions of ${NAME}.dll. */
  .data
  .p2align 3
${pointers}
table:
${table}  ${word} 0, 0
  .section .rdata,\"dr\"
dll: .asciz \"${NAME}.dll\"
${names}
  .text
${stubs}
fill:
${fill}
  .section .ctors.65434,\"w\"
  ${word} fill
")
