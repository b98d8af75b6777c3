# Shortcuts for the two commands of the README.
.PHONY: demo test
demo:
	sh tools/demo.sh
test:
	sh tools/test.sh
