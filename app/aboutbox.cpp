// aboutbox
