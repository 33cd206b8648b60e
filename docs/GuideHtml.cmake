# cmake -DMARKDOWN=markdown_py -DIN=guide.md -DOUT=guide.html -P GuideHtml.cmake
# markdown_py writes the body; the page around it gives the help window its title.
execute_process(COMMAND ${MARKDOWN} -x tables -x toc -x fenced_code -o html ${IN}
                OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${MARKDOWN} failed on ${IN}")
endif()
file(WRITE ${OUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>Aurivo Help</title>
<style>
body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; line-height: 1.45; }
code, pre { font-family: monospace; background: #f1f3f5; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; }
td, th { border: 1px solid #c8ccd0; padding: 0.25em 0.5em; text-align: left; vertical-align: top; }
img { max-width: 100%; border: 1px solid #c8ccd0; }
</style>
</head>
<body>
${body}
</body>
</html>
")
