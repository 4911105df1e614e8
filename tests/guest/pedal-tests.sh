# In the guest: runs each test of a GoogleTest program in a process of its own and writes
# /mnt/out/Suite.Name.log and .status for each.
# Usage: sh pedal-tests.sh PROGRAM
program=/mnt/in/$1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=/mnt/in/lsan.supp:print_suppressions=0
suite=""
"$program" --gtest_list_tests | while read -r line; do
  case $line in
    "") ;;
    *.) suite=$line ;;
    *)
      test=$suite${line%% *}
      echo "guest: $test"
      "$program" --gtest_filter="$test" </dev/null >"/mnt/out/$test.log" 2>&1
      echo $? >"/mnt/out/$test.status"
      ;;
  esac
done
