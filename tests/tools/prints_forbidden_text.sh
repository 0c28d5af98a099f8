# A checker that says, besides what the command-line checks look for, what
# some of them forbid: those checks must then fail. It passes for a Wine
# run when its command line holds "wine".
echo "no configuration file at here/nothing.ini; it takes effect once it is saved"
echo "handguns  2  0x62  UTF-8 with a byte-order mark; handguns is not bound"
exit 1
