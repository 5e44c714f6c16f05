# The setup package's signature table as real files (tests/support/SignatureCases.h),
# signed at build time with osslsigncode by the test publishers of tools/signing/:
# the target `signing_cases` makes them in ${QARTO_SIGNING_CASES}. Included by the
# host tests and the Windows tests.
find_program(QARTO_OSSLSIGNCODE osslsigncode REQUIRED)
find_package(Python3 3.9 REQUIRED COMPONENTS Interpreter)
set(QARTO_SIGNING_DIR ${PROJECT_SOURCE_DIR}/tools/signing)
set(QARTO_SIGNING_CASES ${PROJECT_BINARY_DIR}/signing-cases)
file(GLOB qarto_signing_inputs ${QARTO_SIGNING_DIR}/*.pem ${QARTO_SIGNING_DIR}/*.key)
add_custom_command(OUTPUT ${QARTO_SIGNING_CASES}/made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QARTO_SIGNING_CASES}
  COMMAND ${Python3_EXECUTABLE} ${QARTO_SIGNING_DIR}/make-signed-cases.py ${QARTO_SIGNING_CASES}
  COMMAND ${CMAKE_COMMAND} -E touch ${QARTO_SIGNING_CASES}/made
  DEPENDS ${QARTO_SIGNING_DIR}/make-signed-cases.py ${QARTO_SIGNING_DIR}/sign-test.sh ${qarto_signing_inputs}
  COMMENT "Signing the signature check's test files")
add_custom_target(signing_cases DEPENDS ${QARTO_SIGNING_CASES}/made)
