# Sourced by the tests here: their arguments, WINE WINDOWS_CLI LINUX_CLI SAMPLES_DIR, and a
# working folder. Without a Linux build the test is skipped (status 77).
wine=$1
windows_cli=$(realpath "$2") linux_cli=$(realpath "$3") samples=$(realpath "$4")
if [ ! -x "$linux_cli" ]; then
  echo "no Linux build at $linux_cli: build the default preset first"
  exit 77
fi
work=$(mktemp -d)
