// filedialogs
